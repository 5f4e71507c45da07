#!/usr/bin/env bash
# Proves the program configures and builds with the tests switched off, and without anything that only
# tests and benchmarks use: CMake is told those libraries are not there. Quick on a second run: ccache
# holds the objects.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/no-tests
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMOR_WERROR=ON -DVELMOR_BUILD_TESTS=OFF \
    -DCMAKE_DISABLE_FIND_PACKAGE_Qt6Test=ON -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON \
    -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON >/dev/null
cmake --build "$build"
echo "check_build_without_tests: built"
