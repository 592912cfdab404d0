#!/bin/sh
# Fuzzes the scanner for SECONDS on one core, starting from the committed seeds. New inputs that
# reach new code are kept in WORKDIR/corpus (the seeds stay as committed); an input that shows a
# difference is saved in WORKDIR/findings and the run fails. libFuzzer's output goes to
# WORKDIR/log.txt; its closing figures are shown, and the whole log when the run fails.
#   run.sh FUZZER SECONDS WORKDIR [LIBFUZZER OPTION ...]
set -eu
fuzzer=$1
seconds=$2
work=$3
shift 3
seeds="$(cd "$(dirname "$0")" && pwd)/corpus"
mkdir -p "$work/corpus" "$work/findings"
# Readable stacks when a sanitizer reports, also where only the versioned tools are installed.
if [ -z "${ASAN_SYMBOLIZER_PATH:-}" ] && [ -x /usr/lib/llvm-14/bin/llvm-symbolizer ]; then
    export ASAN_SYMBOLIZER_PATH=/usr/lib/llvm-14/bin/llvm-symbolizer
fi
echo "fuzzing for $seconds s; progress in $work/log.txt"
status=0
"$fuzzer" -max_total_time="$seconds" -max_len=4096 -timeout=30 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$work/findings/" "$@" "$work/corpus" "$seeds" \
    >"$work/log.txt" 2>&1 || status=$?
if [ "$status" -ne 0 ]; then
    cat "$work/log.txt"
    echo "the scanner and the naive model differ, or the fuzzer failed (status $status)" >&2
    exit "$status"
fi
grep -E '^(INFO: seed|INFO: .* files found|#[0-9]+[[:space:]]+(INITED|DONE)|Done|stat::)' "$work/log.txt"
