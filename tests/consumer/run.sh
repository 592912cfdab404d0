#!/bin/sh
# Installs the library from a build tree into a fresh prefix, builds a C program against it twice
# (CMake package, pkg-config), and runs both on the example skeleton. Both must write the same
# files, and those files must hold the program's values.
#   run.sh BUILD_DIR SOURCE_DIR
set -eu
build=$1
source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake --install "$build" --prefix "$work/prefix" >/dev/null
libdir=$(ls -d "$work"/prefix/lib*)

cmake -S "$source/tests/consumer" -B "$work/cmake-build" -DCMAKE_PREFIX_PATH="$work/prefix" >/dev/null
cmake --build "$work/cmake-build" >/dev/null

PKG_CONFIG_PATH="$libdir/pkgconfig" pkg-config --exists strandel
# shellcheck disable=SC2046
cc -o "$work/pc-consumer" "$source/tests/consumer/consumer.c" \
    $(PKG_CONFIG_PATH="$libdir/pkgconfig" pkg-config --cflags --libs strandel) -Wl,-rpath,"$libdir"

for run in cmake pc; do
    mkdir -p "$work/$run/skels"
    cp "$source/examples/skels/template.skl" "$work/$run/skels/"
done
(cd "$work/cmake" && LD_LIBRARY_PATH="$libdir" ../cmake-build/consumer >stdout)
(cd "$work/pc" && ../pc-consumer >stdout)

diff -r "$work/cmake" "$work/pc"
for f in ledgr.tpl ledgr.ext ledgr.txt; do
    [ -s "$work/cmake/$f" ] || { echo "missing or empty: $f"; exit 1; }
done
grep -q "Ledger Report" "$work/cmake/ledgr.txt"
grep -q "Language:    Fortran" "$work/cmake/ledgr.tpl"
grep -q '\.inc' "$work/cmake/ledgr.ext"
grep -q "Ledger Report" "$work/cmake/stdout"
echo "installed library, CMake package and pkg-config: files written"
