#!/bin/sh
# Runs one test program under Valgrind's memcheck, following every program it starts, and fails
# when any of those processes had a memory error or a definitely lost block; their reports are
# shown. The memcheck preset runs every test program of the suite through this script.
#   memcheck.sh PROGRAM [ARG ...]
set -u
# Qt compiles regular expressions to machine code at run time (PCRE2's JIT); memcheck cannot follow
# that code and reports its reads as uninitialised. The interpreter gives the same results.
export QT_ENABLE_REGEXP_JIT=0
logs=$(mktemp -d "${TMPDIR:-/tmp}/strandel-memcheck-XXXXXX")
trap 'rm -rf "$logs"' EXIT
valgrind --tool=memcheck --trace-children=yes --leak-check=full --show-leak-kinds=definite \
    --errors-for-leak-kinds=definite --error-exitcode=99 --log-file="$logs/%p.log" "$@"
status=$?
bad=0
for log in "$logs"/*.log; do
    [ -e "$log" ] || continue
    if ! grep -q 'ERROR SUMMARY: 0 errors' "$log"; then
        bad=1
        echo "== memcheck found errors or definitely lost blocks:" >&2
        cat "$log" >&2
    fi
done
[ "$bad" -eq 0 ] || exit 99
exit "$status"
