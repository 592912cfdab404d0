#!/bin/sh
# plinthor binds vdgentemplate from libstrandel when it is loaded. Installed, it finds the library
# beside its own tree; without the library it does not start at all.
#   binding.sh BUILD_DIR
set -eu
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake --install "$1" --prefix "$work/prefix" >/dev/null
exe="$work/prefix/bin/plinthor"

readelf -d "$exe" | grep -Eq '\(FLAGS(_1)?\).*\bNOW\b' || { echo "not linked to bind at load time"; exit 1; }
nm -D --undefined-only "$exe" | grep -qw vdgentemplate || { echo "vdgentemplate is not imported by name"; exit 1; }
found=$(ldd "$exe" | awk '/libstrandel/ { print $3 }')
[ "$(realpath "$(dirname "$found")")" = "$(realpath "$work"/prefix/lib*)" ] ||
    { echo "the installed library is not the one found: $found"; exit 1; }

rm "$work"/prefix/lib*/libstrandel.so*
if "$exe" >"$work/out" 2>"$work/err"; then
    echo "plinthor started without its library"
    exit 1
fi
grep -q 'libstrandel\.so.*cannot open shared object file' "$work/err" || { cat "$work/err"; exit 1; }
echo "bound at load time; does not start without libstrandel"
