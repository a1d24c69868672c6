#!/usr/bin/env bash
# The install tree and the installed game:
#  - cmake --install into a prefix, and with DESTDIR: every file in its place;
#  - the desktop entry, the AppStream metadata and the man page validated;
#  - the icons at their sizes;
#  - the installed game from an empty working folder with a private HOME under
#    its own Xvfb, started by the desktop entry's Exec: the title shows, every
#    sound is found, Escape ends it, the best score is in ~/.local/share/vexaloid
#    and nothing is written anywhere else (working folder, HOME, install tree);
#  - the same tree moved elsewhere still finds its sounds;
#  - without a home: one line, and the game still plays and ends cleanly.
#   tests/e2e/install.sh BUILD_DIR
# Exit 77 (skipped) when the game was not built or a tool is missing.
set -uo pipefail
build=$(cd "${1:?usage: install.sh BUILD_DIR}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
id=com.example.marrowfinch.Vexaloid
if [ ! -x "$build/vexaloid" ]; then
  echo "SKIP: $build/vexaloid is not built"
  exit 77
fi
for tool in Xvfb xdotool import convert python3 timeout desktop-file-validate appstreamcli man; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

work=$(mktemp -d /tmp/vexaloid-install-XXXXXX)
shots="$build/install-shots"
rm -rf "$shots"
mkdir -p "$shots"
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

# --- the install tree
prefix="$work/tree/usr"
cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || fail "cmake --install: $(cat "$work/install.log")"
DESTDIR="$work/dest" cmake --install "$build" --prefix /usr >"$work/destdir.log" 2>&1 ||
  fail "cmake --install with DESTDIR: $(cat "$work/destdir.log")"
expected=(games/vexaloid share/applications/$id.desktop share/metainfo/$id.metainfo.xml
          share/man/man6/vexaloid.6 share/doc/vexaloid/copyright)
for s in 16 32 48 64 128 256; do expected+=("share/icons/hicolor/${s}x${s}/apps/$id.png"); done
for s in shot1 hypersp gstart endwave bhit bhit1 lswarm sswarm sbhit sbdie shipdie flyaway beewarp \
         hscore techno1 techno2 techno3 techno4; do
  expected+=("share/games/vexaloid/$s.wav")
done
for f in "${expected[@]}"; do
  [ -f "$prefix/$f" ] || fail "not installed: PREFIX/$f"
  [ -f "$work/dest/usr/$f" ] || fail "not installed with DESTDIR: /usr/$f"
done
extra=$(cd "$prefix" && find . -type f | sed 's|^\./||' | sort | comm -23 - <(printf '%s\n' "${expected[@]}" | sort))
[ -z "$extra" ] || fail "installed but not expected: $extra"
[ -x "$prefix/games/vexaloid" ] || fail "the program is not executable"
pass "install tree: ${#expected[@]} files, also under DESTDIR"

# --- the validators
desktop-file-validate "$prefix/share/applications/$id.desktop" >"$work/v.log" 2>&1 &&
  pass "desktop-file-validate" || fail "desktop-file-validate: $(cat "$work/v.log")"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" >"$work/v.log" 2>&1 &&
  pass "appstreamcli validate --no-net" || fail "appstreamcli: $(cat "$work/v.log")"
warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z \
  "$prefix/share/man/man6/vexaloid.6" 2>&1 >/dev/null)
[ -z "$warnings" ] && pass "man --warnings: none" || fail "man --warnings: $warnings"
version=$("$prefix/games/vexaloid" --version)
grep -q "release version=\"${version#vexaloid }\"" "$prefix/share/metainfo/$id.metainfo.xml" ||
  fail "the metadata's release is not $version"
grep -q "\"$version\"" "$prefix/share/man/man6/vexaloid.6" || fail "the man page is not for $version"
for s in 16 32 48 64 128 256; do
  got=$(identify -format '%wx%h' "$prefix/share/icons/hicolor/${s}x${s}/apps/$id.png" 2>/dev/null)
  [ "$got" = "${s}x${s}" ] || fail "icon ${s}x${s} is $got"
done
execline=$(sed -n 's/^Exec=//p' "$prefix/share/applications/$id.desktop")
[ "$execline" = vexaloid ] || fail "Exec is '$execline'"

# --- a virtual screen for the game
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "SKIP: Xvfb did not start"; exit 77; }
export DISPLAY=":$(head -1 "$work/display")"
unset WAYLAND_DISPLAY SDL_VIDEODRIVER VEXALOID_WINDOWED XDG_DATA_HOME XDG_CONFIG_HOME
# A runtime folder as a desktop login gives one; without it the sound server's
# client library would keep its runtime link in ~/.config/pulse.
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"

# Listing of a folder's files with their checksums, to see that nothing changed.
snapshot() { (cd "$1" && find . -type f -o -type d | sort | while read -r f; do
  [ -f "$f" ] && echo "$f $(md5sum <"$f" | cut -c1-32)" || echo "$f/"; done); }

shot() { import -window root "$shots/$1.png"; }
waitfor() {  # SECONDS NAME SIGNATURE...
  local seconds=$1 name=$2
  shift 2
  local end=$((SECONDS + seconds))
  while [ $SECONDS -lt $end ]; do
    shot "$name"
    python3 "$here/shotcheck.py" "$shots/$name.png" "$@" >"$work/check.log" && return 0
    sleep 0.2
  done
  fail "$name: no '$*' within ${seconds}s: $(tr '\n' ' ' <"$work/check.log")"
  return 1
}
# Starts the desktop entry's Exec in FOLDER with the environment given.
startgame() {  # FOLDER LOG ENV...
  local dir=$1 log=$2
  shift 2
  (cd "$dir" && exec env "$@" PATH="$prefix/games:$PATH" $execline >"$log" 2>&1) &
  game=$!
  timeout 20 xdotool search --sync --onlyvisible --name '^Vexaloid$' >/dev/null 2>&1 ||
    { fail "no game window ($dir)"; return 1; }
}
waitexit() {
  for _ in $(seq 100); do
    if ! kill -0 "$game" 2>/dev/null; then
      wait "$game"
      exitstatus=$?
      game=""
      return 0
    fi
    sleep 0.1
  done
  fail "the game did not end within 10 s"
  kill -9 "$game" 2>/dev/null
  game=""
  return 1
}

# --- the installed game from an empty folder, a fresh home
mkdir -p "$work/run" "$work/home"
before=$(snapshot "$work/tree")
if startgame "$work/run" "$work/game.log" HOME="$work/home"; then
  waitfor 15 installed-splash splash && xdotool click 1
  waitfor 10 installed-title title && pass "installed: the title shows"
  xdotool key Escape
  waitexit && { [ "$exitstatus" = 0 ] && pass "installed: Escape ends it, status 0" ||
    fail "installed: exit status $exitstatus"; }
fi
grep -q "cannot read\|not a PCM WAV" "$work/game.log" && fail "installed: a sound is missing: $(cat "$work/game.log")" ||
  pass "installed: every sound found"
stored="$work/home/.local/share/vexaloid/hiscore.dat"
[ "$(stat -c %s "$stored" 2>/dev/null)" = 4 ] && pass "installed: best score stored in ~/.local/share/vexaloid" ||
  fail "installed: no 4-byte ~/.local/share/vexaloid/hiscore.dat"
# Everything in the home is the game's own folder (the record, the replays).
homefiles=$(cd "$work/home" && find . -mindepth 1 | grep -vx '\./\.local\|\./\.local/share' |
  grep -v '^\./\.local/share/vexaloid\(/\|$\)' | tr '\n' ' ')
[ -z "$homefiles" ] || fail "installed: the home holds more: $homefiles"
[ -z "$(ls -A "$work/run")" ] || fail "installed: the working folder changed: $(ls -A "$work/run")"
[ "$(snapshot "$work/tree")" = "$before" ] || fail "installed: the install tree changed"
[ "$(stat -c %a "$work/home/.local/share/vexaloid")" = 700 ] || fail "installed: the folder is not private"

# --- the tree moved elsewhere: the sounds are still found; the record is read back
mv "$work/tree" "$work/moved"
prefix="$work/moved/usr"
if startgame "$work/run" "$work/moved.log" HOME="$work/home"; then
  waitfor 15 moved-splash splash
  kill -TERM "$game"
  waitexit
fi
grep -q "cannot read\|not a PCM WAV" "$work/moved.log" && fail "moved tree: $(cat "$work/moved.log")" ||
  pass "moved tree: every sound found"

# --- no home at all: one line, plays, ends cleanly, writes nothing
if startgame "$work/run" "$work/nohome.log" -u HOME; then
  waitfor 15 nohome-splash splash
  kill -TERM "$game"
  waitexit && [ "$exitstatus" = 0 ] || fail "no home: exit status ${exitstatus:-none}"
fi
if [ "$(grep -c "no usable home folder" "$work/nohome.log")" = 1 ] && grep -q "best score will not be kept" "$work/nohome.log"; then
  pass "no home: $(grep "no usable home" "$work/nohome.log")"
else
  fail "no home: $(cat "$work/nohome.log")"
fi
[ -z "$(ls -A "$work/run")" ] || fail "no home: the working folder changed"

if [ "$failures" -ne 0 ]; then
  echo "$failures install check(s) failed; screenshots in $shots"
  exit 1
fi
echo "install: all checks passed"
