#!/usr/bin/env bash
# Builds Velmor and runs the whole test suite: scripts/test.sh [preset ...] (default: default)
# The Windows build comes first, with its own tests under wine (scripts/windows.sh): the relay's tests
# and the end-to-end run over the relay use it, and with VELMOR_WINDOWS_BUILD naming it they fail
# rather than skip should it be missing. Under the sanitizers they are left out (VELMOR_WINDOWS_BUILD
# empty, and they say so): what runs under wine is not sanitized, and Velmor's side of the broker is
# the MQTT transport's, which runs there.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh tests
echo "== windows =="
scripts/windows.sh
presets=("$@")
((${#presets[@]})) || presets=(default)
for preset in "${presets[@]}"; do
    echo "== $preset =="
    if [ "$preset" = asan ]; then windows_build=; else windows_build=$PWD/build/windows; fi
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
    VELMOR_WINDOWS_BUILD=$windows_build ctest --preset "$preset" -j2
done
