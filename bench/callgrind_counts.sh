#!/bin/sh
# Instructions per conversion for every contestant, counted by callgrind: deterministic figures
# where wall-clock timings are noisy. Each figure is the difference between a run of 2N and a run
# of N conversions, divided by N, so start-up and set-up cancel out. Each includes the loop and the
# call, which the first row measures alone.
# Usage: callgrind_counts.sh [HEXRACE_COUNT]   (default: build/default/bench/hexrace_count)
set -eu
driver=${1:-build/default/bench/hexrace_count}
n=200000
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

instructions() {
    valgrind --tool=callgrind --callgrind-out-file="$work/out" "$driver" "$1" "$2" "$3" \
        2>"$work/log" >/dev/null
    sed -n 's/.*Collected : \([0-9]*\).*/\1/p' "$work/log"
}

printf '| contestant | fixed "C0000000" | mixed corpus |\n|---|---|---|\n'
for contestant in nothing $("$driver" --list); do
    if [ "$contestant" = nothing ]; then
        row="| (loop and call only) |"
    else
        row="| \`$contestant\` |"
    fi
    for input in fixed mixed; do
        once=$(instructions "$contestant" "$input" "$n")
        twice=$(instructions "$contestant" "$input" $((2 * n)))
        row="$row $(awk -v a="$once" -v b="$twice" -v n="$n" 'BEGIN { printf "%.1f", (b - a) / n }') |"
    done
    echo "$row"
done
