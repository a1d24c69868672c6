#!/usr/bin/env bash
# Lets the autopilot play FRAMES frames (default 50000) in the simulator built with
# AddressSanitizer and UndefinedBehaviorSanitizer, checking the game's invariants
# after every picture (vexaloid-sim --check). Fails with the frame and the broken
# invariant. SOAK_SEED picks the run (default 1); SOAK_BUILD the build folder.
#   scripts/soak.sh 1000000     # a million frames, about half an hour on one core
set -euo pipefail
cd "$(dirname "$0")/.."
frames=${1:-50000}
seed=${SOAK_SEED:-1}
build=${SOAK_BUILD:-build-asan}
if [ ! -x "$build/vexaloid-sim" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DVEXALOID_WERROR=ON -DVEXALOID_SANITIZE=ON \
    -DVEXALOID_GAME=OFF >/dev/null
fi
cmake --build "$build" -j"$(nproc)" --target vexaloid-sim sounds >/dev/null
run=$(mktemp -d)
trap 'rm -rf "$run"' EXIT
mkdir -p "$run/data"
cp "$build"/data/*.wav "$run/data/" 2>/dev/null || true
start=$(date +%s%N)
status=0
"$build/vexaloid-sim" --dir "$run" --seed "$seed" --frames "$frames" --autopilot --check || status=$?
end=$(date +%s%N)
ms=$(( (end - start) / 1000000 ))
[ "$ms" -gt 0 ] || ms=1
echo "soak: $frames frames, seed $seed, ${ms} ms, $(( frames * 1000 / ms )) frames per second ($build)"
if [ "$status" -ne 0 ]; then
  echo "soak: FAILED (status $status)" >&2
  exit "$status"
fi
