#!/usr/bin/env bash
# Installs the Debian 12 packages that building (and, with "test", testing)
# needs, only when something is missing.
set -euo pipefail
want=(build-essential cmake pkg-config libsdl2-dev libepoxy-dev libpng-dev zlib1g-dev
      libgl1-mesa-dri)
if [ "${1:-}" = package ] || [ "${1:-}" = proof ]; then
  want+=(dpkg-dev lintian)
fi
if [ "${1:-}" = proof ]; then
  want+=(debootstrap xvfb xdotool imagemagick python3)
fi
if [ "${1:-}" = test ]; then
  want+=(libgtest-dev libbenchmark-dev xvfb xauth xdotool imagemagick x11-utils weston clang
         libclang-rt-14-dev python3 sox desktop-file-utils appstream man-db)
fi
missing=()
for p in "${want[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo apt-get update -qq
  # The security updates carry the current libpng; take them with the rest.
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi
