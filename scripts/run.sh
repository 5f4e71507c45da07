#!/usr/bin/env bash
# Builds Velmor and starts its window; without a display it runs under a virtual one.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh
cmake --preset default >/dev/null
cmake --build --preset default
binary=build/default/app/velmor
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec "$binary"
fi
echo "No display: running under Xvfb for ${VELMOR_RUN_SECONDS:-10} s and saving a screenshot to velmor.png"
exec xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    "$0" & pid=$!
    sleep 3
    import -window root velmor.png
    sleep "${VELMOR_RUN_SECONDS:-10}"
    kill $pid 2>/dev/null; wait $pid 2>/dev/null || true' "$binary"
