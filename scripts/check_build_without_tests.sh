#!/usr/bin/env bash
# Proves the program configures and builds with the tests switched off, and without anything that only
# tests and benchmarks use: the no-tests preset tells CMake those libraries are not there. Quick on a
# second run: ccache holds the objects.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset no-tests >/dev/null
cmake --build --preset no-tests
echo "check_build_without_tests: built"
