#!/bin/sh
# Runs hexrace_compare and prints the medians as a Markdown table: nanoseconds per conversion, a
# row per contestant, a column per input. Extra arguments go to hexrace_compare.
# Usage: summarise.sh [HEXRACE_COMPARE [FLAGS...]]   (default: build/default/bench/hexrace_compare)
set -eu
compare=${1:-build/default/bench/hexrace_compare}
[ $# -gt 0 ] && shift
"$compare" --benchmark_format=csv "$@" 2>/dev/null | awk -F, '
    $1 ~ /_median"?$/ {
        name = $1
        gsub(/"/, "", name)
        sub(/_median$/, "", name)
        slash = index(name, "/")
        input = substr(name, 1, slash - 1)
        who = substr(name, slash + 1)
        if (!(input in seen_input)) { seen_input[input] = 1; inputs[++n_inputs] = input }
        if (!(who in seen_who)) { seen_who[who] = 1; whos[++n_whos] = who }
        median[who, input] = sprintf("%.1f", $3)
    }
    END {
        line = "| ns per conversion |"
        rule = "|---|"
        for (i = 1; i <= n_inputs; i++) { line = line " " inputs[i] " |"; rule = rule "---:|" }
        print line
        print rule
        for (w = 1; w <= n_whos; w++) {
            line = "| `" whos[w] "` |"
            for (i = 1; i <= n_inputs; i++) {
                cell = ((whos[w], inputs[i]) in median) ? median[whos[w], inputs[i]] : ""
                line = line " " cell " |"
            }
            print line
        }
    }'
