#!/usr/bin/env bash
# Runs the race (through an emulator, if given) with standard input from /dev/null and checks its
# whole output byte for byte, the numbers by pattern, and its exit code.
# Usage: redirected_run.sh [EMULATOR...] PROGRAM
set -u
output_file=$(mktemp)
trap 'rm -f "$output_file"' EXIT

"$@" </dev/null >"$output_file"
code=$?
output=$(cat "$output_file"; echo .)  # the dot keeps trailing line ends
output=${output%.}

number='(0|[1-9][0-9]{0,9})'
report="^"
for label in ' atodw library' ' Vumo short' ' Pardu long' ' wefra short'; do
    report+="$number$label"$'\r\n'
done
report+='Press any key to continue \.\.\.'$'\r\n''$'

printf '%s' "$output"
if [[ ! $output =~ $report ]]; then
    echo "unexpected output (as bytes):" >&2
    od -c "$output_file" >&2
    exit 1
fi
if [ "$code" -ne 0 ]; then
    echo "exit code $code" >&2
    exit 1
fi
echo "exit code 0"
