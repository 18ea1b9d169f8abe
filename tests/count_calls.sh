#!/bin/sh
# Runs the race under callgrind and checks that each converter named was called exactly
# 10,000,000 times: the timing loops make every call, none inlined, merged or dropped.
# Usage: count_calls.sh PROGRAM CONVERTER...
set -eu
program=$1
shift
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

valgrind --tool=callgrind --callgrind-out-file="$work/out" "$program" </dev/null >"$work/report" 2>"$work/log" || {
    cat "$work/log" >&2
    exit 1
}

# Total calls per callee: "cfn=(id) name" names a callee (the name only on first use),
# the "calls=N ..." line after it counts the calls from one call site.
awk '
    /^c?fn=\(/ {
        id = substr($0, index($0, "("), index($0, ")") - index($0, "(") + 1)
        name = substr($0, index($0, ")") + 2)
        if (name != "") names[id] = name
        if ($0 ~ /^cfn=/) callee = names[id]
        next
    }
    /^calls=/ { split(substr($0, 7), field, " "); total[callee] += field[1] }
    END { for (f in total) print total[f] "\t" f }
' "$work/out" >"$work/calls"

status=0
for converter in "$@"; do
    calls=$(awk -F '\t' -v f="hexrace::$converter(char const*)" '$2 == f { print $1 }' "$work/calls")
    echo "$converter: ${calls:-0} calls"
    [ "${calls:-0}" = 10000000 ] || status=1
done
exit $status
