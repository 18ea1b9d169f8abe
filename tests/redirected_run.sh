#!/usr/bin/env bash
# Runs the race (through an emulator, if given) with standard input from /dev/null and checks its
# whole output byte for byte, each time a number of at least one millisecond, and its exit code.
# Usage: HEXRACE_LABELS='LABEL|...' redirected_run.sh [EMULATOR...] PROGRAM   (the build sets the
# labels, read from the race's one table, in report order)
set -u
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$@" </dev/null >"$work/output"
code=$?

# The report that these times make, compared with cmp: a shell variable cannot hold every byte
# (NULs vanish from it), so the file itself is held to it.
IFS='|' read -r -a labels <<<"${HEXRACE_LABELS:?the labels, separated by |}"
prompt='Press any key to continue ...'
read -r -d '' -a times < <(grep -a -o -E '^[1-9][0-9]{0,9} ' "$work/output")
: >"$work/expected"
for i in "${!labels[@]}"; do
    printf '%s%s\r\n' "${times[i]:-?}" "${labels[i]}" >>"$work/expected"
done
printf '%s\r\n' "$prompt" >>"$work/expected"

cat "$work/output"
if ! cmp "$work/expected" "$work/output" >&2; then
    echo "unexpected output (as bytes):" >&2
    od -c "$work/output" >&2
    exit 1
fi
if [ "$code" -ne 0 ]; then
    echo "exit code $code" >&2
    exit 1
fi
echo "exit code 0"
