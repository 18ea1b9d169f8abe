#!/bin/sh
# Runs hexrace_compare and prints its verdict as Markdown: for each workload, the fastest validated
# parser, how many times as fast as std::from_chars and as the next validated parser it is, and the
# fastest unvalidated trick for scale; then every contestant's times. Extra arguments go to
# hexrace_compare (--corpus FILE adds the user's own texts).
# Usage: summarise.sh [HEXRACE_COMPARE [FLAGS...]]   (default: build/default/bench/hexrace_compare)
set -eu
compare=${1:-build/default/bench/hexrace_compare}
[ $# -gt 0 ] && shift
python=/usr/bin/python3
[ -x "$python" ] || python=python3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$compare" --benchmark_out="$work/run.json" --benchmark_out_format=json "$@" >/dev/null
"$python" "$(dirname "$0")/report.py" "$work/run.json" --part verdict
echo
"$python" "$(dirname "$0")/report.py" "$work/run.json" --part times
