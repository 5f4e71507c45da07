#!/usr/bin/env bash
# Builds the default preset and runs every benchmark, printing one table of figures and targets.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh tests
cmake --preset default >/dev/null
cmake --build --preset default --target velmor-bench-all
exec build/default/bench/velmor-bench-all
