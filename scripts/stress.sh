#!/usr/bin/env bash
# Builds the presets, then runs the whole test suite N times in a row in each while stress-ng keeps
# every core busy: scripts/stress.sh [runs] [preset ...]   (default: 20 runs of default and asan)
set -uo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh ci || exit 1
runs=${1:-20}
shift || true
presets=("$@")
((${#presets[@]})) || presets=(default asan)
for preset in "${presets[@]}"; do
    cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset" >/dev/null || exit 1
done
log=build/stress
mkdir -p "$log"
stress-ng --cpu "$(nproc)" --quiet &
load=$!
trap 'kill $load 2>/dev/null' EXIT
failures=0
for ((run = 1; run <= runs; run++)); do
    for preset in "${presets[@]}"; do
        start=$SECONDS
        if ctest --preset "$preset" -j2 >"$log/$preset-$run.txt" 2>&1; then
            status=passed
        else
            status=FAILED
            failures=$((failures + 1))
        fi
        echo "run $run $preset: $status in $((SECONDS - start)) s, $(grep -E 'tests passed' "$log/$preset-$run.txt")"
        grep -E '^\s*[0-9]+ - .*\((Failed|Timeout|SEGFAULT|Subprocess)' "$log/$preset-$run.txt" || true
    done
done
echo "failed suite runs: $failures of $((runs * ${#presets[@]}))"
((failures == 0))
