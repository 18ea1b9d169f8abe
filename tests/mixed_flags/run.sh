#!/bin/sh
# Two files of one program built with different -march flags, at -O0 (every inline helper an
# out-of-line weak symbol) and -O2: they must define no weak symbol of the parser in common, and
# the program must run on the base CPU (qemu64, without MOVBE, BMI or AVX).
# Usage: run.sh CXX INCLUDE_DIR... (the parser's include folders)
set -eu
cxx=$1
shift
includes=
for dir in "$@"; do includes="$includes -I$dir"; done
here=$(dirname "$0")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for opt in -O0 -O2; do
    # shellcheck disable=SC2086 # one word per folder
    "$cxx" -std=c++17 $opt $includes -march=x86-64-v3 -c "$here/native.cpp" -o "$work/native.o"
    # shellcheck disable=SC2086
    "$cxx" -std=c++17 $opt $includes -c "$here/base.cpp" -o "$work/base.o"
    "$cxx" "$work/native.o" "$work/base.o" -o "$work/mixed"
    for object in native base; do
        nm -C --defined-only "$work/$object.o" | awk '$2 ~ /^[WVu]$/' | grep 'hexrace::' |
            cut -d' ' -f3- | sort -u >"$work/$object.weak"
    done
    shared=$(comm -12 "$work/native.weak" "$work/base.weak")
    if [ -n "$shared" ]; then
        echo "$opt: both files define these, and the linker keeps one copy for both:"
        echo "$shared"
        exit 1
    fi
    echo "$opt: $(wc -l <"$work/base.weak") weak parser symbols in the base file, none shared"
    qemu-x86_64 -cpu qemu64 "$work/mixed"
done
