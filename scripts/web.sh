#!/usr/bin/env bash
# Builds Vexaloid for the web browser, installing what is missing (emscripten,
# node; with --test also chromium, npm and puppeteer-core):
#   scripts/web.sh          the site in build-web/site/ (index.html, .js, .wasm)
#                           and the simulator for node, build-web/vexaloid-sim.js
#   scripts/web.sh --sim    only the simulator
# VEXALOID_UNPNG=<native build>/vexaloid-unpng saves building the native decoder.
#   scripts/web.sh --test   the site, then the browser test in headless Chromium
#                           (tests/web/browser.test.mjs) and the size check
# Serve the site with: cd build-web/site && python3 -m http.server 8000
set -euo pipefail
cd "$(dirname "$0")/.."
mode=${1:-}
case "$mode" in "" | --sim) ;; *) echo "usage: scripts/web.sh [--sim]" >&2; exit 2 ;; esac

scripts/deps.sh
want=(emscripten nodejs)
missing=()
for p in "${want[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi

# Debian's emscripten runs its optimiser with node's packages from here.
export NODE_PATH=/usr/share/nodejs
jobs=$(nproc)
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi

# The pictures are decoded by the game's own (native) decoder: the one of a
# native build given in VEXALOID_UNPNG, or one built here.
unpng=${VEXALOID_UNPNG:-}
if [ -z "$unpng" ]; then
  cmake -S . -B build-web/native -DCMAKE_BUILD_TYPE=Release -DVEXALOID_GAME=OFF \
    -DBUILD_TESTING=OFF "${launcher[@]}" >/dev/null
  cmake --build build-web/native -j"$jobs" --target vexaloid-unpng >/dev/null
  unpng=$PWD/build-web/native/vexaloid-unpng
fi

emcmake cmake -S . -B build-web/wasm -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
  -DVEXALOID_UNPNG="$unpng" "${launcher[@]}" >/dev/null
cmake --build build-web/wasm -j"$jobs" --target vexaloid-sim >/dev/null
cp build-web/wasm/vexaloid-sim.js build-web/vexaloid-sim.js
