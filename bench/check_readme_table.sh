#!/bin/sh
# Fails unless the README holds the behaviour table exactly as the program prints it now; skips
# (exit 77) where the README's table is for another width of unsigned long than this platform's.
# Usage: check_readme_table.sh HEXRACE_BEHAVIOUR README
set -eu
table=$("$1")
readme=$(cat "$2")
caption=$(printf '%s\n' "$table" | head -n 1)
case "$readme" in
*"$table"*)
    echo "README's behaviour table is current"
    exit 0
    ;;
esac
if ! printf '%s\n' "$readme" | grep -qxF "$caption" &&
    printf '%s\n' "$readme" | grep -qx 'Where `unsigned long` has [0-9]* bits:'; then
    echo "README's behaviour table is for another width of unsigned long; here: $caption"
    exit 77
fi
echo "README's behaviour table differs from what $1 prints now:" >&2
printf '%s\n' "$table" >&2
exit 1
