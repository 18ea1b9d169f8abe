#!/bin/sh
# Fails unless the README holds the behaviour table exactly as the program prints it now.
# Usage: check_readme_table.sh HEXRACE_BEHAVIOUR README
set -eu
table=$("$1")
readme=$(cat "$2")
case "$readme" in
*"$table"*) echo "README's behaviour table is current" ;;
*)
    echo "README's behaviour table differs from what $1 prints now:" >&2
    printf '%s\n' "$table" >&2
    exit 1
    ;;
esac
