#!/bin/sh
# Fuzzes the scanner for SECONDS on one core, starting from the committed seeds. New inputs that
# reach new code are kept in WORKDIR/corpus (the seeds stay as committed); an input that shows a
# difference is saved in WORKDIR/findings and the run fails.
#   run.sh FUZZER SECONDS WORKDIR [LIBFUZZER OPTION ...]
set -eu
fuzzer=$1
seconds=$2
work=$3
shift 3
seeds="$(cd "$(dirname "$0")" && pwd)/corpus"
mkdir -p "$work/corpus" "$work/findings"
exec "$fuzzer" -max_total_time="$seconds" -max_len=4096 -timeout=30 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$work/findings/" "$@" "$work/corpus" "$seeds"
