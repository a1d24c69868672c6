#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer) in build-fuzz and runs each for SECONDS seconds
# (default 60), starting from the kept cases in tools/fuzz/corpus/<target>/.
# New interesting inputs go to build-fuzz/corpus/<target>/, crashes to
# build-fuzz/crashes/; a crash fails the script. FUZZ_BUILD picks the folder.
#   scripts/fuzz.sh 300      # five minutes per target
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=${FUZZ_BUILD:-build-fuzz}
targets=(wav settings hiscore png script replay)
CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEXALOID_WERROR=ON \
  -DVEXALOID_FUZZ=ON -DVEXALOID_GAME=OFF -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target "${targets[@]/#/fuzz_}" >/dev/null
mkdir -p "$build/crashes"
failed=()
for t in "${targets[@]}"; do
  mkdir -p "$build/corpus/$t"
  log="$build/fuzz_$t.log"
  status=0
  "$build/tools/fuzz/fuzz_$t" -max_total_time="$seconds" -print_final_stats=1 -max_len=65536 \
    -rss_limit_mb=2048 -artifact_prefix="$build/crashes/${t}-" \
    "$build/corpus/$t" "tools/fuzz/corpus/$t" >"$log" 2>&1 || status=$?
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo "?")
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 || true)
  if [ "$status" -ne 0 ]; then
    echo "fuzz_$t: FAILED after $runs runs (status $status); see $log and $build/crashes/"
    grep -E 'ERROR|runtime error|SUMMARY' "$log" | head -5 || true
    failed+=("$t")
  else
    echo "fuzz_$t: $runs runs in ${seconds}s, $cov, no crash"
  fi
done
[ ${#failed[@]} -eq 0 ] || { echo "fuzzing found crashes in: ${failed[*]}" >&2; exit 1; }
