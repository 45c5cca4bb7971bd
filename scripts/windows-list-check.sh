# shellcheck shell=bash
# The List Check window's place on a Windows desktop, as the installer makes
# it and its uninstaller removes it: the Start menu shortcut and "Open with"
# for .csv files, for the current user (its application key, our ProgID and
# that ProgID named among .csv's OpenWithProgids), never as the default
# program for .csv. Sourced by scripts/windows-test, which gives `check`,
# `fail`, `wine_run`, `win` and a Wine prefix.
#
#   csv_give_another_program [default]
#                                 .csv as a spreadsheet program leaves it: a
#                                 default value and a ProgID of its own among
#                                 .csv's OpenWithProgids (or with "default",
#                                 the default value alone)
#   csv_forget_another_program    neither, and no .csv key at all
#   list_check_installed DIR LNK  the program in DIR, the shortcut LNK naming
#                                 it, and Open with running it with the file
#   list_check_removed LNK        all of that gone, and only that: .csv as
#                                 it was before the install

list_check_exe=korvallestin-list-check.exe
list_check_classes='HKCU\Software\Classes'
list_check_app_key="$list_check_classes\\Applications\\$list_check_exe"
list_check_progid=Korvallestin.ListCheck.csv
list_check_progid_key="$list_check_classes\\$list_check_progid"
csv_key="$list_check_classes\\.csv"
# Another program's, which the install and the uninstall must leave alone.
csv_other_default=Spreadsheet.CSV
csv_other_progid=Spreadsheet.CSV
csv_other=no

# The type and data of one value, as "TYPE<tab>DATA"; NAME empty is the key's
# default value. Fails when reg fails or the value is not there.
reg_value() {
    local key=$1 name=$2 out
    if [ -n "$name" ]; then
        out=$(wine_run 60 reg query "$key" /v "$name" 2>/dev/null) || return 1
    else
        out=$(wine_run 60 reg query "$key" /ve 2>/dev/null) || return 1
        name='(Default)'
    fi
    tr -d '\r' <<<"$out" |
        awk -v name="$name" 'BEGIN { FS = "    " } $2 == name { print $3 "\t" $4; found = 1 }
                             END { exit !found }'
}
# Succeeds only when reg ran and said that the key, or the value, is not
# there: a Wine that fails to run is no proof that it went.
reg_absent() {
    local out rc=0
    out=$(wine_run 60 reg query "$@" 2>&1) || rc=$?
    [ "$rc" -eq 1 ] && grep -q 'Unable to find' <<<"$out"
}
reg_has() { reg_value "$@" >/dev/null; }
# No default value: reg says "(value not set)" for a key without one.
reg_no_default() {
    reg_absent "$1" || [ "$(reg_value "$1" "")" = "$(printf 'REG_SZ\t(value not set)')" ]
}
# Whether a shortcut starts the program at that Windows path: a .lnk file
# holds its target's whole path as text of the system's code page, on its own
# (the icon's path, in UTF-16, is another).
shortcut_names() { strings -a "$1" | grep -qxF "$2"; }

csv_give_another_program() {
    csv_forget_another_program || return 1
    csv_other=${1:-progid}
    wine_run 60 reg add "$csv_key" /ve /d "$csv_other_default" /f >/dev/null 2>&1 || return 1
    [ "$csv_other" = default ] ||
        wine_run 60 reg add "$csv_key\\OpenWithProgids" /v "$csv_other_progid" /t REG_NONE /f >/dev/null 2>&1
}

csv_forget_another_program() {
    csv_other=no
    wine_run 60 reg delete "$csv_key" /f >/dev/null 2>&1
    reg_absent "$csv_key"
}

# What .csv holds that is not ours is as it was before the install.
csv_as_before() {
    local when=$1
    if [ "$csv_other" != no ]; then
        check "$when: .csv's default program is still the other one" \
            test "$(reg_value "$csv_key" "")" = "$(printf 'REG_SZ\t%s' "$csv_other_default")"
    fi
    if [ "$csv_other" = progid ]; then
        check "$when: the other program's ProgID is still among .csv's" \
            reg_has "$csv_key\\OpenWithProgids" "$csv_other_progid"
    elif [ "$csv_other" = no ]; then
        check "$when: .csv has no default program" reg_no_default "$csv_key"
    fi
}

list_check_installed() {
    local dir=$1 shortcut=$2 exe
    exe=$(win "$dir/$list_check_exe")
    local command
    command=$(printf 'REG_SZ\t"%s" "%%1"' "$exe")
    check "List Check: $list_check_exe installed" test -f "$dir/$list_check_exe"
    check "List Check: its Start menu shortcut names $exe" shortcut_names "$shortcut" "$exe"
    check "Open with: the program's open command is \"$exe\" \"%1\"" \
        test "$(reg_value "$list_check_app_key\\shell\\open\\command" "")" = "$command"
    check "Open with: the program's name" \
        test "$(reg_value "$list_check_app_key" FriendlyAppName)" = "$(printf 'REG_SZ\tKorvallestin List Check')"
    check "Open with: the program opens .csv" reg_has "$list_check_app_key\\SupportedTypes" .csv
    check "Open with: our ProgID's open command is the program's" \
        test "$(reg_value "$list_check_progid_key\\shell\\open\\command" "")" = "$command"
    check "Open with: our ProgID is among .csv's" \
        reg_has "$csv_key\\OpenWithProgids" "$list_check_progid"
    csv_as_before "installed"
}

list_check_removed() {
    local shortcut=$1
    check "uninstall removes the List Check shortcut" test ! -e "$shortcut"
    check "uninstall removes the program's Open with key" reg_absent "$list_check_app_key"
    check "uninstall removes our ProgID" reg_absent "$list_check_progid_key"
    case $csv_other in
        progid) check "uninstall takes our ProgID from .csv's" \
            reg_absent "$csv_key\\OpenWithProgids" /v "$list_check_progid" ;;
        default) check "uninstall removes .csv's OpenWithProgids, which held ours alone" \
            reg_absent "$csv_key\\OpenWithProgids" ;;
        no) check "uninstall removes the .csv key, which held ours alone" reg_absent "$csv_key" ;;
    esac
    csv_as_before "uninstalled"
}
