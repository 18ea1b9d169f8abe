#!/bin/sh
# Instructions per conversion for every contestant, counted by callgrind: deterministic figures
# where wall-clock timings are noisy, for each build given (a column pair each). Each figure is the
# difference between a run of about 2N and one of about N conversions, divided by the difference
# in conversions, so start-up and set-up cancel out. Each includes the loop and the call, which
# the first row measures alone; bulk is per line of the buffer.
# Usage: callgrind_counts.sh [NAME=HEXRACE_COUNT...]   (default: g++=build/default/bench/hexrace_count)
set -eu
[ $# -gt 0 ] || set -- g++=build/default/bench/hexrace_count
n=200000
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Instructions and conversions of one run: "INSTRUCTIONS CONVERSIONS"; a failed run stops all.
run() {
    conversions=$(valgrind --tool=callgrind --callgrind-out-file="$work/out" "$driver" "$1" "$2" \
        "$3" 2>"$work/log") || { cat "$work/log" >&2; exit 1; }
    echo "$(sed -n 's/.*Collected : \([0-9]*\).*/\1/p' "$work/log") $conversions"
}

per_conversion() {
    once=$(run "$1" "$2" "$n")
    twice=$(run "$1" "$2" $((2 * n)))
    echo "$once $twice" | awk -v who="$1 on $2" '
        NF != 4 || $4 <= $2 { print "no count for " who > "/dev/stderr"; exit 1 }
        { printf "%.1f", ($3 - $1) / ($4 - $2) }'
}

inputs="fixed mixed mixed16 bulk"
header="| contestant |"
rule="|---|"
for input in $inputs; do
    for build in "$@"; do
        header="$header $input, ${build%%=*} |"
        rule="$rule---:|"
    done
done
echo "$header"
echo "$rule"
# Listed under valgrind too, whose CPU may lack instruction sets this one has (AVX-512): only the
# paths it can run are counted.
first_driver=${1#*=}
valgrind --tool=none -q "$first_driver" --list >"$work/list"
{ printf 'nothing\tfixed mixed\n'; cat "$work/list"; } | while IFS="$(printf '\t')" read -r contestant takes; do
    if [ "$contestant" = nothing ]; then
        row="| (loop and call only) |"
    else
        row="| \`$contestant\` |"
    fi
    for input in $inputs; do
        for build in "$@"; do
            driver=${build#*=}
            case " $takes " in
            *" $input "*) row="$row $(per_conversion "$contestant" "$input") |" ;;
            *) row="$row |" ;;
            esac
        done
    done
    echo "$row"
done
