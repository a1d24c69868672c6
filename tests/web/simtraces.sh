#!/usr/bin/env bash
# The simulator compiled to WebAssembly (build-web/vexaloid-sim.js, run by node)
# writes the native simulator's traces byte for byte: autopilot runs of
# thousands of frames with every entity, and a recorded replay with the drawing
# calls. Skipped (77) where emscripten or node is not installed.
#   tests/web/simtraces.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
src=$(cd "$(dirname "$0")/../.." && pwd)
if ! command -v emcc >/dev/null || ! command -v node >/dev/null; then
  echo "emscripten or node is not installed: skipped"
  exit 77
fi
VEXALOID_UNPNG="$build/vexaloid-unpng" "$src/scripts/web.sh" --sim
wasm="$src/build-web/vexaloid-sim.js"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for side in native wasm; do
  mkdir -p "$work/$side/data"
  cp "$build"/data/*.wav "$work/$side/data/"
done

status=0
compare() {  # NAME ARGS...
  local name=$1
  shift
  (cd "$work/native" && "$build/vexaloid-sim" "$@" --trace "$work/$name.native")
  (cd "$work/wasm" && node "$wasm" "$@" --trace "$work/$name.wasm")
  if cmp -s "$work/$name.native" "$work/$name.wasm"; then
    echo "ok: $name ($(wc -l <"$work/$name.native") lines, $(wc -c <"$work/$name.native") bytes)"
  else
    echo "DIFFERENT: $name"
    cmp "$work/$name.native" "$work/$name.wasm" | head -1
    diff <(head -c 2000000 "$work/$name.native") <(head -c 2000000 "$work/$name.wasm") | head -6
    status=1
  fi
}

compare autopilot-seed1 --seed 1 --frames 6000 --autopilot --entities
compare autopilot-seed7 --seed 7 --frames 3000 --autopilot --entities --check
compare replay-first-kills --seed 7 --frames 1400 --input "$src/tests/replays/first_kills.txt" \
  --entities --draws
compare replay-pause-volumes --seed 11 --frames 1100 --input "$src/tests/replays/pause_volumes.txt" --entities
exit $status
