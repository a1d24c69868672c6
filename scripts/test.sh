#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors, and runs every test:
# the unit and simulator tests, the real game end to end under Xvfb, the whole
# suite again under AddressSanitizer and UndefinedBehaviorSanitizer, short fuzz
# runs and a short soak.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh test
jobs=$(nproc)

echo "== build"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEXALOID_WERROR=ON >/dev/null
cmake --build build -j"$jobs"
echo "== tests"
(cd build && ctest --output-on-failure -j"$jobs")

echo "== tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DVEXALOID_WERROR=ON -DVEXALOID_SANITIZE=ON \
  -DVEXALOID_GAME=OFF >/dev/null
cmake --build build-asan -j"$jobs"
(cd build-asan && ctest --output-on-failure -j"$jobs" -LE e2e)

if [ -x scripts/fuzz.sh ]; then
  echo "== short fuzz runs"
  scripts/fuzz.sh 20
fi
if [ -x scripts/soak.sh ]; then
  echo "== short soak"
  scripts/soak.sh 50000
fi
echo "== all tests passed"
