#!/bin/sh
# The shared library's dynamic symbol table defines vdgentemplate and nothing else.
set -eu
symbols=$(nm -D --defined-only "$1" | awk '{ print $3 }')
if [ "$symbols" != "vdgentemplate" ]; then
    printf 'expected only vdgentemplate, found:\n%s\n' "$symbols"
    exit 1
fi
