#!/bin/sh
# Runs the race under callgrind and checks that between the two tick reads of the k-th timing the
# k-th converter named is called exactly 10,000,000 times and no other converter at all, and that no
# converter runs outside those spans: every call is made inside the span it is timed by, none is
# inlined, merged or dropped, and none is timed under another row's label.
# Usage: count_calls.sh PROGRAM CONVERTER...   (the converters in report order)
set -eu
program=$1
shift
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A dump before every tick read: part 2k then holds what ran between the reads of the k-th timing.
valgrind --tool=callgrind --dump-before='hexrace::platform::tick_count*' \
    --callgrind-out-file="$work/out" "$program" </dev/null >"$work/report" 2>"$work/log" || {
    cat "$work/log" >&2
    exit 1
}

# Calls per callee in one part: "cfn=(id) name" names a callee (the name only on first use in the
# file), and the "calls=N ..." line after it counts the calls from one call site.
calls_in() {
    awk -v f="hexrace::$2(char const*)" '
        /^c?fn=\(/ {
            id = substr($0, index($0, "("), index($0, ")") - index($0, "(") + 1)
            name = substr($0, index($0, ")") + 2)
            if (name != "") names[id] = name
            if ($0 ~ /^cfn=/) callee = names[id]
            next
        }
        /^calls=/ && callee == f { split(substr($0, 7), field, " "); total += field[1] }
        END { print total + 0 }
    ' "$1"
}

spans=$(($# * 2))
status=0
if [ ! -f "$work/out.$spans" ] || [ -f "$work/out.$((spans + 1))" ]; then
    echo "expected $spans tick reads, two per converter; callgrind saw:" >&2
    ls "$work" >&2
    status=1
fi
row=0
for converter in "$@"; do
    row=$((row + 1))
    timed=$(calls_in "$work/out.$((2 * row))" "$converter")
    elsewhere=0
    for part in "$work"/out*; do
        [ "$part" = "$work/out.$((2 * row))" ] && continue
        elsewhere=$((elsewhere + $(calls_in "$part" "$converter")))
    done
    echo "$converter: $timed calls in timing $row, $elsewhere elsewhere"
    [ "$timed" = 10000000 ] && [ "$elsewhere" = 0 ] || status=1
done
exit $status
