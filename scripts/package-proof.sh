#!/usr/bin/env bash
# Proves the package on a fresh Debian 12: a minimal root made by debootstrap
# in a folder, the package installed there with apt, and the menu entry's
# command started by an ordinary user of that root against an Xvfb display of
# this machine: the title shows, Escape ends the game, and the best score is
# in that user's ~/.local/share/vexaloid/.
#   scripts/package-proof.sh [DEB]    # default: the newest dist/vexaloid_*.deb
# Needs root (debootstrap, chroot, mounts) and the network. Works in
# build-proof/ (debootstrap's downloads are kept in build-proof/cache);
# screenshots in build-proof/shots/. Prints the time each step took.
set -euo pipefail
cd "$(dirname "$0")/.."
here=$(pwd)
scripts/deps.sh proof
deb=$(realpath "${1:-$(ls -t dist/vexaloid_*.deb | head -1)}")
work="$here/build-proof"
root="$work/root"
shots="$work/shots"
mirror=${DEBIAN_MIRROR:-http://deb.debian.org/debian}

xvfb=""
game=""
cleanup() {
  [ -n "$game" ] && kill "$game" 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  for m in tmp/.X11-unix proc; do mountpoint -q "$root/$m" && umount -l "$root/$m"; done
  return 0
}
trap cleanup EXIT
step() { echo "== $1 ($((SECONDS - t0)) s so far)"; }
t0=$SECONDS

cleanup
rm -rf "$root" "$shots"
mkdir -p "$work/cache" "$shots"
step "debootstrap --variant=minbase bookworm"
t=$SECONDS
debootstrap --variant=minbase --cache-dir="$work/cache" bookworm "$root" "$mirror" >"$work/debootstrap.log" 2>&1 ||
  { tail -20 "$work/debootstrap.log"; exit 1; }
boot=$((SECONDS - t))
echo "root made in $boot s: $(du -sm "$root" | cut -f1) MB"

step "apt-get install ./$(basename "$deb")"
mount -t proc proc "$root/proc"
cp /etc/resolv.conf "$root/etc/resolv.conf"
cp "$deb" "$root/tmp/"
t=$SECONDS
chroot "$root" apt-get update -qq
chroot "$root" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "/tmp/$(basename "$deb")" \
  >"$work/apt.log" 2>&1 || { tail -20 "$work/apt.log"; exit 1; }
inst=$((SECONDS - t))
echo "installed in $inst s: $(grep -c '^Setting up' "$work/apt.log") packages set up; root now $(du -sm --exclude=proc "$root" | cut -f1) MB"
chroot "$root" dpkg -s vexaloid | grep -E '^(Version|Depends|Installed-Size):'

step "an ordinary user starts the menu entry's command"
chroot "$root" useradd --create-home --shell /bin/bash player
entry=$(ls "$root"/usr/share/applications/*.desktop)
execline=$(sed -n 's/^Exec=//p' "$entry")
echo "desktop entry $(basename "$entry"): Exec=$execline"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
display=":$(head -1 "$work/display")"
mkdir -p "$root/tmp/.X11-unix"
mount --bind /tmp/.X11-unix "$root/tmp/.X11-unix"
export DISPLAY=$display
t=$SECONDS
# A login shell of the user, as the menu would start it: the user's PATH
# (with /usr/games), the home folder as the working folder.
chroot "$root" su - player -c "DISPLAY=$display $execline" >"$work/game.log" 2>&1 &
game=$!
if ! timeout 60 xdotool search --sync --onlyvisible --name '^Vexaloid$' >/dev/null 2>&1; then
  echo "FAIL: no game window; the game said:"
  cat "$work/game.log"
  exit 1
fi
window=$((SECONDS - t))
echo "window up after $window s"
waitfor() {  # SECONDS NAME SIGNATURE
  local end=$((SECONDS + $1)) name=$2
  while [ $SECONDS -lt $end ]; do
    import -window root "$shots/$name.png"
    python3 tests/e2e/shotcheck.py "$shots/$name.png" "$3" >/dev/null && return 0
    sleep 0.3
  done
  echo "FAIL: no $3 screen within $1 s (see $shots/$name.png); the game said:"
  cat "$work/game.log"
  exit 1
}
waitfor 30 splash splash
xdotool click 1
waitfor 20 title title
echo "title screen shown ($shots/title.png)"
xdotool key Escape
for _ in $(seq 100); do kill -0 "$game" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$game" 2>/dev/null; then
  echo "FAIL: Escape did not end the game"
  exit 1
fi
status=0
wait "$game" || status=$?
game=""
echo "Escape ended it, status $status"
stored="$root/home/player/.local/share/vexaloid/hiscore.dat"
if [ "$status" != 0 ] || [ "$(stat -c %s "$stored" 2>/dev/null)" != 4 ] ||
   [ "$(stat -c %U "$stored")" != "$(stat -c %U "$root/home/player")" ]; then
  echo "FAIL: no 4-byte best score owned by the player in ~player/.local/share/vexaloid/"
  ls -laR "$root/home/player"
  exit 1
fi
echo "best score stored: /home/player/.local/share/vexaloid/hiscore.dat ($(od -An -tu4 "$stored" | tr -d ' '))"
echo "the game said:"
sed 's/^/  /' "$work/game.log"
echo "== proof passed: debootstrap $boot s, apt install $inst s, window after $window s, total $((SECONDS - t0)) s"
