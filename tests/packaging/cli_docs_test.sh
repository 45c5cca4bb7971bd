#!/usr/bin/env bash
# The console program's manual page and bash completion against the program
# itself: every option that a command's --help names is in both, and every
# option that they name is one the program has. Run by CTest.
#
#     cli_docs_test.sh PROGRAM MANUAL_PAGE_SOURCE COMPLETION_FILE
set -uo pipefail
program=$1
manual=$2
completion=$3
failed=0
passed=0
fail() {
    echo "FAIL: $*"
    failed=$((failed + 1))
}

options() { grep -o -e '--[a-z][a-z-]*[a-z]' | LC_ALL=C sort -u; }
# In roff source every dash of an option is written "\-".
in_manual() { grep -qF -- "${1//-/\\-}" "$manual"; }
in_completion() { grep -qE -- "(^|[ \"])$1([ \"]|\$)" "$completion"; }

all_help=""
for command in "" find check import-data; do
    help=$("$program" $command --help) || { fail "'$program $command --help' failed"; continue; }
    all_help+=$help$'\n'
    from="${command:-the program} --help"
    for option in $(options <<<"$help"); do
        if in_manual "$option" && in_completion "$option"; then
            passed=$((passed + 1))
        else
            in_manual "$option" || fail "the manual page lacks $option (from $from)"
            in_completion "$option" || fail "the completion lacks $option (from $from)"
        fi
    done
done
# What the manual page and the completion offer must be the program's.
known=$(options <<<"$all_help")
for option in $(sed 's/\\-/-/g' "$manual" | options) $(options <"$completion"); do
    if grep -qx -- "$option" <<<"$known"; then
        passed=$((passed + 1))
    else
        fail "$option is offered but the program's --help does not know it"
    fi
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
