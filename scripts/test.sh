#!/usr/bin/env bash
# Builds Velmor and runs the whole test suite: scripts/test.sh [preset ...] (default: default)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh tests
presets=("$@")
((${#presets[@]})) || presets=(default)
for preset in "${presets[@]}"; do
    echo "== $preset =="
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
    ctest --preset "$preset" -j2
done
