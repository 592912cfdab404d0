#!/bin/sh
# Start-up of the wizard: time from process start to its window being mapped under Xvfb (median
# of ten runs) and peak resident memory at that moment; plinthor, and plinthor.exe under Wine
# when a Windows build is there (reported only).
#   bench/startup/wizard-startup.sh BUILD_DIR [MINGW_BUILD_DIR]
# BUILD_DIR is a build with the benchmarks (preset bench): it holds plinthor and strandel_mapwait.
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(realpath "$1")
mingw=$(realpath -m "${2:-$root/build/mingw}")
runs=${RUNS:-10}
title="Veridane - Template Generation Wizard"
. "$root/tests/e2e/xvfb.sh"

work=$(mktemp -d)
trap 'stop_xvfb; rm -rf "$work"' EXIT
mkdir -p "$work/run/skels"
cp "$root/examples/skels/template.skl" "$work/run/skels/"
start_xvfb

# One start: prints "<ms> <KiB>" and ends the program again.
measure() {
    (cd "$work/run" && "$build/bench/strandel_mapwait" "$title" "$@" 2>"$work/pid") >"$work/one"
    pid=$(awk '/^pid/ { print $2 }' "$work/pid")
    kill "$pid" 2>/dev/null || true
    wait_gone "$pid"
    cat "$work/one"
}

wait_gone() {
    tries=0
    while kill -0 "$1" 2>/dev/null && [ $tries -lt 50 ]; do sleep 0.1; tries=$((tries + 1)); done
    kill -9 "$1" 2>/dev/null || true
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

report() {
    name=$1
    shift
    : >"$work/times"
    : >"$work/peaks"
    i=0
    while [ $i -lt "$runs" ]; do
        measure "$@" >"$work/line"
        awk '{ print $1 }' "$work/line" >>"$work/times"
        awk '{ print $2 }' "$work/line" >>"$work/peaks"
        i=$((i + 1))
    done
    printf '%-32s %8s ms %8s ms %8s ms %10s KiB\n' "$name" "$(median <"$work/times")" \
        "$(sort -n "$work/times" | head -n 1)" "$(sort -n "$work/times" | tail -n 1)" "$(median <"$work/peaks")"
}

printf '%-32s %11s %11s %11s %14s\n' "program ($runs starts)" "median" "fastest" "slowest" "peak RSS"
report "plinthor (Qt, Xvfb)" "$build/wizard/plinthor"
if [ -f "$mingw/wizard/plinthor.exe" ] && command -v wine >/dev/null; then
    export WINEDEBUG=-all WINEPREFIX="${WINEPREFIX:-$mingw/wineprefix}"
    wineboot -i >/dev/null 2>&1 || true
    cp "$mingw/generator/strandel.dll" "$work/run/" 2>/dev/null || true
    report "plinthor.exe (Wine, Xvfb)" wine "$mingw/wizard/plinthor.exe"
fi
