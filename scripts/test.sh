#!/usr/bin/env bash
# Builds Velmor and runs the whole test suite: scripts/test.sh [preset ...] (default: default)
# The Windows build comes first, with its own tests under wine (scripts/windows.sh): the relay's tests
# and the end-to-end run over the relay use it, and with VELMOR_WINDOWS_BUILD naming it they fail
# rather than skip should it be missing.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh
echo "== windows =="
scripts/windows.sh
export VELMOR_WINDOWS_BUILD=$PWD/build/windows
presets=("$@")
((${#presets[@]})) || presets=(default)
for preset in "${presets[@]}"; do
    echo "== $preset =="
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
    ctest --preset "$preset" -j2
done
