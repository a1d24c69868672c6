#!/usr/bin/env bash
# The real game on a real Wayland compositor: weston nested in its own virtual X
# server (1920x1080), its seat fed by that server's input so xdotool drives it,
# the game started with WAYLAND_DISPLAY set and no DISPLAY. At output scale 1
# and 2: the full-screen and windowed pictures (sharp, whole, centred), the ship
# following the mouse's relative motion, its spot after the pause, the clamp at
# the ship's box without a dead zone, and Escape.
#   tests/wayland/wayland.sh BUILD_DIR [SCALE...]
# Screenshots are kept in BUILD_DIR/wayland-shots/. Exit 77 (skipped) when the
# game was not built or weston or another tool is missing.
set -uo pipefail
build=$(cd "${1:?usage: wayland.sh BUILD_DIR [SCALE...]}" && pwd)
shift
scales=("$@")
[ ${#scales[@]} -eq 0 ] && scales=(1 2)
here=$(cd "$(dirname "$0")" && pwd)
if [ ! -x "$build/vexaloid" ]; then
  echo "SKIP: $build/vexaloid is not built"
  exit 77
fi
for tool in weston Xvfb xdotool import convert python3 timeout; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

shots="$build/wayland-shots"
rm -rf "$shots"
mkdir -p "$shots"
work=$(mktemp -d /tmp/vexaloid-wayland-XXXXXX)
failures=0
game="" xvfb="" weston=""
stopcompositor() {
  [ -n "$weston" ] && kill "$weston" 2>/dev/null && wait "$weston" 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null
  weston="" xvfb=""
}
cleanup() {
  [ -n "$game" ] && kill -9 "$game" 2>/dev/null
  stopcompositor
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
pass() { echo "ok: $*"; }

# No panel, no screen saver: the game's picture is all there is to see.
cat >"$work/weston.ini" <<'INI'
[core]
idle-time=0
[shell]
panel-position=none
startup-animation=none
background-color=0xff303030
INI

# A 1920x1080 virtual screen and weston on all of it at SCALE: weston sizes its
# X window in logical units times the scale, so the output is 1920/SCALE x
# 1080/SCALE logical, 1920x1080 physical pixels.
startcompositor() {
  local scale=$1
  Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
  xvfb=$!
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
  [ -s "$work/display" ] || { echo "SKIP: Xvfb did not start"; cat "$work/xvfb.log"; exit 77; }
  export DISPLAY=":$(head -1 "$work/display")"
  : >"$work/display"
  runtime="$work/runtime-$scale"
  mkdir -m 0700 -p "$runtime"
  socket="wayland-vxw-$$"
  XDG_RUNTIME_DIR="$runtime" weston --config="$work/weston.ini" --backend=x11-backend.so \
    --use-pixman --width=$((1920 / scale)) --height=$((1080 / scale)) --scale="$scale" \
    --socket="$socket" >"$work/weston-$scale.log" 2>&1 &
  weston=$!
  for _ in $(seq 100); do [ -S "$runtime/$socket" ] && break; sleep 0.1; done
  if [ ! -S "$runtime/$socket" ]; then
    echo "SKIP: weston did not start"
    tail -5 "$work/weston-$scale.log"
    exit 77
  fi
  # The shell client is up once its background shows.
  for _ in $(seq 100); do
    import -window root -crop 1x1+100+100 -depth 8 txt:- 2>/dev/null | grep -q '#303030 ' && return 0
    sleep 0.2
  done
  echo "SKIP: weston's desktop never showed"
  exit 77
}

rundir="$work/run"
mkdir -p "$rundir/data"
cp "$build/vexaloid" "$rundir/"
cp "$build"/data/*.wav "$rundir/data/"
startgame() {
  (cd "$rundir" && exec env -u DISPLAY WAYLAND_DISPLAY="$socket" XDG_RUNTIME_DIR="$runtime" \
    SDL_AUDIODRIVER=dummy "$@" ./vexaloid >"$rundir/output.log" 2>&1) &
  game=$!
}
# Waits up to SECONDS for the game to end; its exit status in $exitstatus.
waitexit() {
  local seconds=$1
  exitstatus=""
  for _ in $(seq $((seconds * 10))); do
    if ! kill -0 "$game" 2>/dev/null; then
      wait "$game"
      exitstatus=$?
      game=""
      return 0
    fi
    sleep 0.1
  done
  fail "the game did not end within ${seconds}s"
  kill -9 "$game" 2>/dev/null
  wait "$game" 2>/dev/null
  game=""
  return 1
}
escape() {
  xdotool key Escape
  if waitexit 10; then
    [ "$exitstatus" = 0 ] && pass "$1: Escape, exit status 0" || fail "$1: Escape, exit status $exitstatus"
  fi
}
# Screenshots are taken as PPM (cheap to read) and kept as PNG when a check
# fails or when asked to.
shot() { import -window root -depth 8 "$work/$1.ppm"; }
keep() { convert "$work/$1.ppm" "$shots/$1.png"; }
# Takes screenshots NAME until CHECK (wlcheck.py or shotcheck.py) holds, for up to SECONDS.
waitfor() {
  local seconds=$1 name=$2 checker=$3
  shift 3
  local end=$((SECONDS + seconds))
  while :; do
    shot "$name"
    if python3 "$checker" "$work/$name.ppm" "$@" >"$work/check.log"; then
      pass "$name: $(tr '\n' ' ' <"$work/check.log")"
      return 0
    fi
    [ $SECONDS -ge $end ] && break
    sleep 0.3
  done
  keep "$name"
  fail "$name: $(tr '\n' ' ' <"$work/check.log")"
  return 1
}
wl() { waitfor "$1" "$2" "$here/wlcheck.py" "${@:3}"; }
e2e() { waitfor "$1" "$2" "$here/../e2e/shotcheck.py" "${@:3}"; }
# Relative mouse motion by DX, DY physical pixels of the screen.
move() { xdotool mousemove_relative -- "$1" "$2"; }
# Whether "** Paused **" shows: white pixels where it stands (the picture is at
# 2x, at (320, 60), at both scales).
pauseshown() {
  local white
  white=$(import -window root -crop 240x32+840+420 -depth 8 ppm:- |
    convert ppm:- -fx "r>0.8&&g>0.8&&b>0.8" -format "%[fx:round(mean*w*h)]" info:)
  [ "${white:-0}" -gt 100 ]
}
# Waits up to 5 s for the pause to show (yes) or to end (no).
waitpause() {
  for _ in $(seq 25); do
    if pauseshown; then [ "$1" = yes ] && return 0; else [ "$1" = no ] && return 0; fi
    sleep 0.2
  done
  fail "the pause did not $([ "$1" = yes ] && echo begin || echo end)"
  return 1
}
# Moves the mouse by DX, DY, lets the game draw a few frames, and pauses it: the
# ship must stand at (X, Y) on the pause's frozen picture. Then play goes on.
# The bees wait while the pictures are checked.
step() {
  local name=$1 dx=$2 dy=$3 ex=$4 ey=$5
  move "$dx" "$dy"
  sleep 0.5
  xdotool key space
  waitpause yes
  wl 1 "$name" ship "$ex" "$ey"
  xdotool key space
  waitpause no
}

for scale in "${scales[@]}"; do
  echo "== output scale $scale: full screen"
  startcompositor "$scale"
  startgame
  # The picture at 2x on 1920x1080 physical pixels at any scale, centred, black around it.
  wl 20 "s$scale-full-splash" fullscreen 2 480 60 && keep "s$scale-full-splash"
  xdotool click 1
  e2e 30 "s$scale-full-title" title
  # A left click starts a game (clicked again should the title still show).
  for _ in $(seq 5); do
    sleep 0.5
    xdotool click 1
    sleep 1
    shot started
    python3 "$here/../e2e/shotcheck.py" "$work/started.ppm" title >/dev/null || break
  done
  # Play begins after the get-ready banner (4.5 s), with the ship and pointer
  # reset to (320, 400). Until then small motions leave the ship where it is.
  sleep 2
  x=320 step=20
  for _ in $(seq 20); do
    move "$step" 0
    sleep 0.3
    shot probe
    if python3 "$here/wlcheck.py" "$work/probe.ppm" ship $((320 + step / 2)) 400 >/dev/null; then
      x=$((320 + step / 2))
      break
    fi
    step=$((-step))
  done
  if [ "$x" = 320 ]; then
    keep probe
    fail "scale $scale: the ship never followed the mouse"
  else
    pass "scale $scale: play began; $step physical pixels of motion moved the ship to ($x, 400)"
    # Motion during the pause moves nothing: after it the ship is at its spot.
    xdotool key space
    waitpause yes
    move 300 0
    sleep 0.3
    xdotool key space
    waitpause no
    step "s$scale-after-pause" 0 0 "$x" 400
    # It moves on from there without a jump; the picture is at 2x, so 200
    # physical pixels of motion are 100 picture pixels.
    step "s$scale-on-from-spot" -200 0 $((x - 100)) 400
    # Far past the box's bottom left corner (95, 460), then back: the ship
    # comes back at once, with no dead zone.
    step "s$scale-corner" -600 400 95 460
    step "s$scale-off-corner" 100 -40 145 440
  fi
  escape "scale $scale full screen"

  echo "== output scale $scale: windowed"
  startgame VEXALOID_WINDOWED=1
  wl 20 "s$scale-window-splash" windowed 2 && keep "s$scale-window-splash"
  xdotool click 1
  sleep 1
  escape "scale $scale windowed"
  grep -v "no audio device" "$rundir/output.log" | sed 's/^/  game: /'
  stopcompositor
done

echo "screenshots in $shots"
if [ "$failures" -ne 0 ]; then
  echo "$failures Wayland checks failed"
  exit 1
fi
echo "every Wayland check passed"
