#!/usr/bin/env bash
# Builds the libFuzzer targets and runs each on a copy of its seed corpus; fails on the first finding.
#   scripts/fuzz.sh [seconds per target, default 30] [target ...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
shift || true
targets=("$@")
((${#targets[@]})) || targets=(report_cutter_fuzzer time_code_fuzzer now_playing_fuzzer report_handler_fuzzer
                               message_text_fuzzer message_handler_fuzzer ncid_line_fuzzer)

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

dictionary_of() {
    case $1 in
    report_*) echo fuzz/report.dict ;;
    message_*) echo fuzz/message.dict ;;
    ncid_*) echo fuzz/ncid.dict ;;
    *) echo fuzz/text.dict ;;
    esac
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The report handler target rewrites a scratch now-playing file on every report; memory is quicker.
[ -d /dev/shm ] && [ -w /dev/shm ] && export TMPDIR=/dev/shm
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
for target in "${targets[@]}"; do
    echo "== $target: ${seconds} s =="
    mkdir -p "$work/$target"
    cp fuzz/corpus/"$target"/* "$work/$target"/
    # A finding is written to the working folder and ends the run with a non-zero status.
    build/fuzz/fuzz/"$target" -max_total_time="$seconds" -dict="$(dictionary_of "$target")" \
        -artifact_prefix="$work/" -print_final_stats=1 "$work/$target" 2>"$work/$target.log" || {
        tail -n 40 "$work/$target.log"
        mkdir -p build/fuzz/findings && cp "$work"/crash-* "$work"/leak-* "$work"/timeout-* build/fuzz/findings/ 2>/dev/null || true
        echo "fuzz: $target found a fault (inputs kept in build/fuzz/findings)" >&2
        exit 1
    }
    grep -E '^stat::number_of_executed_units|^#[0-9]+.*DONE' "$work/$target.log" | tail -n 2
done
