#!/usr/bin/env bash
# The two menu entries: each valid for desktop-file-validate, and each opening
# what it says. The postcode window takes no file and claims no file type; the
# List Check window is offered in "Open with" for CSV files and is handed the
# one file chosen. Run by CTest.
#
#     desktop_entries_test.sh POSTCODE_WINDOW_ENTRY LIST_CHECK_ENTRY
set -uo pipefail
postcode=$1
list_check=$2
failed=0
passed=0
fail() {
    echo "FAIL: $*"
    failed=$((failed + 1))
}
expect() {
    if [ "$2" = "$3" ]; then
        passed=$((passed + 1))
    else
        fail "$1: '$2', expected '$3'"
    fi
}

# A key's value in the [Desktop Entry] group, empty when it is not there.
value() {
    awk -v key="$2" -F= '/^\[/ { group = $0 }
        group == "[Desktop Entry]" && $1 == key { sub(/^[^=]*=/, ""); print; exit }' "$1"
}
# Exec's field codes for files and URLs (%f, %F, %u, %U), in order.
file_codes() { value "$1" Exec | grep -o '%[fFuU]' | tr -d '\n'; }

for entry in "$postcode" "$list_check"; do
    if out=$(desktop-file-validate "$entry" 2>&1) && [ -z "$out" ]; then
        passed=$((passed + 1))
    else
        fail "desktop-file-validate $(basename "$entry"): ${out:-status $?}"
    fi
done

# entry | what | found | expected
while IFS='|' read -r entry what found expected; do
    expect "$(basename "$entry"): $what" "$found" "$expected"
done <<EOF
$postcode|program|$(value "$postcode" Exec | cut -d' ' -f1)|korvallestin
$postcode|file codes in Exec|$(file_codes "$postcode")|
$postcode|file types|$(value "$postcode" MimeType)|
$list_check|program|$(value "$list_check" Exec | cut -d' ' -f1)|korvallestin-list-check
$list_check|file codes in Exec (one file, by its path)|$(file_codes "$list_check")|%f
$list_check|offered for text/csv|$(value "$list_check" MimeType | tr ';' '\n' | grep -cx text/csv)|1
$list_check|name|$(value "$list_check" Name)|Korvallestin List Check
$list_check|icon, the postcode window's|$(value "$list_check" Icon)|$(value "$postcode" Icon)
$list_check|in a terminal|$(value "$list_check" Terminal)|false
EOF

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
