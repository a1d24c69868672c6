#!/usr/bin/env bash
# Installs what is missing, builds, and starts the game from the build folder.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target vexaloid
cd build && exec ./vexaloid
