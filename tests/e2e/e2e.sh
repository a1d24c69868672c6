#!/usr/bin/env bash
# The real game end to end: its own virtual X server (1280x1024, no window
# manager), the built program copied into fresh run folders, driven with
# xdotool as a player would, checked on screenshots by colour signatures
# (shotcheck.py) and by its exit status and stored best score.
#   tests/e2e/e2e.sh BUILD_DIR
# Screenshots are kept in BUILD_DIR/e2e-shots/. Exit 77 (skipped) when the game
# was not built (VEXALOID_GAME=OFF) or a tool is missing.
set -uo pipefail
build=$(cd "${1:?usage: e2e.sh BUILD_DIR}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
if [ ! -x "$build/vexaloid" ]; then
  echo "SKIP: $build/vexaloid is not built"
  exit 77
fi
for tool in Xvfb xdotool import convert python3 timeout; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

shots="$build/e2e-shots"
rm -rf "$shots"
mkdir -p "$shots"
work=$(mktemp -d /tmp/vexaloid-e2e-XXXXXX)
failures=0
game=""
xvfb=""
cleanup() {
  [ -n "$game" ] && kill "$game" 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
pass() { echo "ok: $*"; }

# --- the virtual screen: Xvfb picks a free display number itself
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "SKIP: Xvfb did not start"; cat "$work/xvfb.log"; exit 77; }
export DISPLAY=":$(head -1 "$work/display")"
unset WAYLAND_DISPLAY SDL_VIDEODRIVER VEXALOID_WINDOWED
# A private home: a run without data/ stores its record there, never in the tester's.
export HOME="$work/home"
mkdir -p "$HOME"
unset XDG_DATA_HOME XDG_CONFIG_HOME
read -r screenw screenh < <(xdotool getdisplaygeometry)
# The picture is scaled by a whole multiple and centred.
k=$((screenw / 640 < screenh / 480 ? screenw / 640 : screenh / 480))
ox=$(((screenw - 640 * k) / 2))
oy=$(((screenh - 480 * k) / 2))
echo "display $DISPLAY ${screenw}x${screenh}: picture x$k at ($ox, $oy)"

# A real close request (WM_DELETE_WINDOW), as a window manager's close button sends.
closereq=""
if cc -o "$work/closereq" "$here/closereq.c" -lX11 2>"$work/cc.log"; then closereq="$work/closereq"; fi

# A run folder: the program, and data/ with the sound set unless "nodata".
runfolder() {
  local dir="$work/$1"
  mkdir -p "$dir"
  cp "$build/vexaloid" "$dir/"
  if [ "${2:-}" != nodata ]; then
    mkdir -p "$dir/data"
    cp "$build"/data/*.wav "$dir/data/"
  fi
  echo "$dir"
}
startgame() {
  (cd "$1" && exec ./vexaloid >"$1/output.log" 2>&1) &
  game=$!
  window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Vexaloid$' 2>/dev/null | head -1)
  if [ -z "$window" ]; then
    fail "no game window in $1"
    return 1
  fi
  xdotool windowfocus "$window" 2>/dev/null
  return 0
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
# Pointer to picture pixel (X, Y).
pointat() { xdotool mousemove $((ox + $1 * k + k / 2)) $((oy + $2 * k + k / 2)); }
click() { xdotool click 1; }
shot() { import -window root "$shots/$1.png"; }
check() {
  local name=$1
  shift
  python3 "$here/shotcheck.py" "$shots/$name.png" "$@"
}
# Takes screenshots NAME until CHECK holds, for up to SECONDS.
waitfor() {
  local seconds=$1 name=$2
  shift 2
  local end=$((SECONDS + seconds))
  while [ $SECONDS -lt $end ]; do
    shot "$name"
    if check "$name" "$@" >"$work/check.log"; then
      pass "$name: $(tr '\n' ' ' <"$work/check.log")"
      return 0
    fi
    sleep 0.2
  done
  fail "$name: no '$*' within ${seconds}s: $(tr '\n' ' ' <"$work/check.log")"
  return 1
}
# Play has begun once the ship follows the pointer (on the title and get-ready
# screens it stands at (320, 400) whatever the pointer does).
waitplay() {
  local end=$((SECONDS + 20))
  while [ $SECONDS -lt $end ]; do
    pointat 200 440
    sleep 0.1
    shot play
    if check play ship 200 440 >"$work/check.log"; then
      pass "play: the ship follows the pointer: $(tr '\n' ' ' <"$work/check.log")"
      return 0
    fi
    sleep 0.3
  done
  fail "play: the ship never followed the pointer to (200, 440)"
  return 1
}
count() { python3 "$here/shotcheck.py" "$shots/$1.png" count "${@:2}"; }
le32() { od -An -t d4 -N4 "$1" | tr -d ' '; }

# --- 1. A game played with the mouse and the keys, quit with Escape
echo "== a game"
dir=$(runfolder play)
if startgame "$dir"; then
  pointat 320 240
  waitfor 15 splash splash
  click
  waitfor 10 title title
  click
  # Play begins after the get-ready banner: the ship then follows the pointer.
  waitplay
  # A short burst while sweeping right: the first attack bee needs a few seconds
  # to form, so the ship is not at risk before the pause.
  for i in $(seq 0 5); do
    x=$((200 + i * 40))
    pointat "$x" 430
    click
    sleep 0.1
  done
  shot firing
  if check firing ship "$x" 430 >"$work/check.log"; then pass "firing: ship at ($x, 430)"; else fail "firing: $(cat "$work/check.log")"; fi
  xdotool key space
  waitfor 5 paused paused
  music0=$(count paused yellow 120 210 520 228)
  sfx0=$(count paused yellow 120 228 520 246)
  xdotool key F2
  sleep 0.5
  shot paused-f2
  music1=$(count paused-f2 yellow 120 210 520 228)
  [ "$music1" != "$music0" ] && pass "F2 changed the music line (yellow pixels:digest $music0 -> $music1)" ||
    fail "F2 left the music line as it was ($music0)"
  xdotool key F3
  sleep 0.5
  shot paused-f3
  sfx1=$(count paused-f3 yellow 120 228 520 246)
  [ "$sfx1" != "$sfx0" ] && pass "F3 changed the effects line (yellow pixels:digest $sfx0 -> $sfx1)" ||
    fail "F3 left the effects line as it was ($sfx0)"
  check paused-f3 paused >/dev/null || fail "paused-f3: the pause texts are gone"
  # F1 ends the pause and goes back to the title screen through a blank second.
  # The pause ends while F1 is held, as a player holds a key for a moment; a
  # press and release between two pictures would only be counted for later.
  xdotool keydown F1
  sleep 0.3
  xdotool keyup F1
  waitfor 10 after-f1 title
  xdotool key Escape
  if waitexit 10; then
    [ "$exitstatus" = 0 ] && pass "Escape: exit status 0" || fail "Escape: exit status $exitstatus"
  fi
  size=$(stat -c %s "$dir/data/hiscore.dat" 2>/dev/null || echo none)
  [ "$size" = 4 ] && pass "data/hiscore.dat written, 4 bytes (best $(le32 "$dir/data/hiscore.dat"))" ||
    fail "data/hiscore.dat: size $size, want 4"
  grep -v "no audio device" "$dir/output.log" | sed 's/^/  game: /'
fi

# --- 2. The window's close request, and SIGTERM, store the best score
echo "== close request"
dir=$(runfolder close)
printf '\xd2\x04\x00\x00' >"$dir/data/hiscore.dat"  # 1234
if startgame "$dir"; then
  waitfor 15 close-splash splash
  click
  waitfor 10 close-title title
  if [ -n "$closereq" ]; then
    "$closereq" "$window" && pass "close request sent to window $window"
  else
    echo "(no C compiler or Xlib headers: SIGTERM instead of WM_DELETE_WINDOW)"
    kill -TERM "$game"
  fi
  if waitexit 10; then
    [ "$exitstatus" = 0 ] && pass "close request: exit status 0" || fail "close request: exit status $exitstatus"
  fi
  [ "$(stat -c %s "$dir/data/hiscore.dat")" = 4 ] && [ "$(le32 "$dir/data/hiscore.dat")" = 1234 ] &&
    pass "close request: best score 1234 stored again" || fail "close request: hiscore.dat holds $(od -An -tx1 "$dir/data/hiscore.dat")"
fi
echo "== SIGTERM"
dir=$(runfolder term)
if startgame "$dir"; then
  waitfor 15 term-splash splash
  kill -TERM "$game"
  if waitexit 10; then
    [ "$exitstatus" = 0 ] && pass "SIGTERM: exit status 0" || fail "SIGTERM: exit status $exitstatus"
  fi
  [ "$(stat -c %s "$dir/data/hiscore.dat" 2>/dev/null)" = 4 ] && pass "SIGTERM: best score stored" ||
    fail "SIGTERM: no 4-byte data/hiscore.dat"
fi

# --- 3. No data/ folder: the installed mode, here without its sound set beside
# the program: silent, a clean end, the record in the (private) home only
echo "== no data folder"
dir=$(runfolder nodata nodata)
if startgame "$dir"; then
  waitfor 15 nodata-splash splash
  click
  waitfor 10 nodata-title title
  xdotool key Escape
  if waitexit 10; then
    [ "$exitstatus" = 0 ] && pass "no data/: exit status 0" || fail "no data/: exit status $exitstatus"
  fi
  grep -q "cannot read $work/share/games/vexaloid/shot1.wav" "$dir/output.log" &&
    pass "no data/: the missing sounds are named" || fail "no data/: no message about the missing sounds"
  [ "$(stat -c %s "$HOME/.local/share/vexaloid/hiscore.dat" 2>/dev/null)" = 4 ] &&
    pass "no data/: best score stored in ~/.local/share/vexaloid" ||
    fail "no data/: no 4-byte ~/.local/share/vexaloid/hiscore.dat"
  [ "$(ls -A "$dir")" = "$(printf 'output.log\nvexaloid')" ] || fail "no data/: the run folder changed: $(ls -A "$dir")"
fi

# --- 4. No display at all: one readable line and a non-zero exit
echo "== no display"
dir=$(runfolder nodisplay)
status=0
(cd "$dir" && env -u DISPLAY -u WAYLAND_DISPLAY timeout 20 ./vexaloid) >"$work/nodisplay.log" 2>&1 || status=$?
lines=$(wc -l <"$work/nodisplay.log")
if [ "$status" -ne 0 ] && [ "$status" -ne 124 ] && [ "$lines" -eq 1 ]; then
  pass "no display: status $status, \"$(cat "$work/nodisplay.log")\""
else
  fail "no display: status $status, $lines lines: $(cat "$work/nodisplay.log")"
fi

# --- 5. A recorded game: the simulator reproduces it, an altered copy diverges,
# and the window's playback reaches the same score
echo "== a recorded game"
dir=$(runfolder record)
if startgame "$dir"; then
  pointat 320 240
  waitfor 15 record-splash splash
  click
  waitfor 10 record-title title
  click
  waitplay
  # Twenty-odd seconds of sweeping across the lower playfield, firing all the way.
  end=$((SECONDS + 22))
  i=0
  while [ $SECONDS -lt $end ]; do
    x=$((120 + (i * 37) % 400))
    y=$((380 + (i * 23) % 80))
    pointat "$x" "$y"
    click
    sleep 0.07
    i=$((i + 1))
  done
  # F1 ends the game if the bees have not (a held key, as in the first game).
  xdotool keydown F1
  sleep 0.3
  xdotool keyup F1
  waitfor 10 record-after title
  xdotool key Escape
  waitexit 10
  # The game that set the best score (the bees may have ended a first game early).
  replay=$(ls "$dir"/data/replays/*_best.vxr 2>/dev/null | tail -1)
  [ -n "$replay" ] || replay=$(ls "$dir"/data/replays/*.vxr 2>/dev/null | tail -1)
  kept=$(ls "$dir"/data/replays/ | wc -l)
  if [ -z "$replay" ]; then
    fail "recorded game: no replay in data/replays ($(ls -A "$dir/data/replays" 2>&1 | tr '\n' ' '))"
  else
    best=$(le32 "$dir/data/hiscore.dat")
    frames=$(awk '$1 == "end" {print $2}' "$replay")
    pass "recorded game: $(basename "$replay"), $frames frames, best score $best"
    out=$("$build/vexaloid-sim" --dir "$dir" --replay "$replay")
    status=$?
    [ "$status" = 0 ] && [[ "$out" == "replay ok: frames $frames score $best wave "* ]] &&
      pass "simulator: $out" || fail "simulator: status $status, '$out', want score $best"
    # The same game with the pointer moved aside in its second half.
    awk -v from=$((frames / 2)) '$2 == "move" && $1 > from { $3 = ($3 < 600 ? $3 + 9 : $3 - 9) } { print }' \
      "$replay" >"$work/altered.vxr"
    out=$("$build/vexaloid-sim" --dir "$dir" --replay "$work/altered.vxr")
    status=$?
    [ "$status" = 1 ] && [[ "$out" == "replay diverged at frame "* ]] &&
      pass "altered copy: $out" || fail "altered copy: status $status, '$out'"
    stored=$(cp "$dir/data/hiscore.dat" "$work/hiscore.before" && echo yes)
    (cd "$dir" && timeout 120 ./vexaloid --replay "$replay" >"$work/playback.out" 2>"$work/playback.err")
    status=$?
    out=$(cat "$work/playback.out")
    [ "$status" = 0 ] && [[ "$out" == "replay: score $best wave "* ]] &&
      pass "window playback: $out" || fail "window playback: status $status, '$out' $(cat "$work/playback.err")"
    [ "$stored" = yes ] && cmp -s "$dir/data/hiscore.dat" "$work/hiscore.before" &&
      [ "$(ls "$dir"/data/replays/ | wc -l)" = "$kept" ] &&
      pass "window playback stored no best score and recorded no replay" ||
      fail "window playback changed the best score or recorded a replay"
  fi
fi

echo "screenshots in $shots"
if [ "$failures" -ne 0 ]; then
  echo "$failures end-to-end checks failed"
  exit 1
fi
echo "every end-to-end check passed"
