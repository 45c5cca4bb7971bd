#!/usr/bin/env bash
# The console program's bash completion: the words it offers for a command
# line typed so far, one case a line. Run by CTest with the completion file.
#
#     bash_completion_test.sh COMPLETION_FILE
set -uo pipefail
# shellcheck source=/dev/null
source "$1" || { echo "FAIL: $1 does not load"; exit 1; }
complete -p korvallestin-cli >/dev/null || { echo "FAIL: no completion for korvallestin-cli"; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
touch "$work/list.csv" "$work/data.csv"
cd "$work" || exit 1

# The words of the command line, "|" before the word being completed (which
# may be empty), and the words expected back, sorted.
cases=(
    "|                                 => check find help import-data"
    "|f                                => find"
    "find |--s                         => --sort --state"
    "find |--f                         => --format"
    "--data data.csv find |--c         => --contains"
    "check |--p                        => --postcode-column --problems-only"
    "check |--                         => --data --delimiter --encoding --fix --header-line --help --locality-column --no-header --output --postcode-column --problems-only --quiet --state-column --summary-json --version"
    "check |--f                        => --fix"
    "check --encoding |utf             => utf-8 utf-8-bom"
    "check --delimiter |               => comma pipe semicolon tab"
    "check --header-line |             =>"
    "check --summary-json |d           => data.csv"
    "|--                               => --data --help --version"
    "find --format |                   => csv json text tsv"
    "find --format |=                  => csv json text tsv"
    "find --format = |j                => json"
    "find --sort |p                    => parcel-zone postcode presort-indicator"
    "find --state |q                   => QLD"
    "find --state = |                  => ACT NSW NT QLD SA TAS VIC WA"
    "find --locality |                 =>"
    "find --postcode |2                =>"
    "check |l                          => list.csv"
    "check list.csv |                  =>"
    "check --output |d                 => data.csv"
    "--data |                          => data.csv list.csv"
    "--data data.csv |c                => check"
    "find --state QLD |                =>"
    "import-data |--                   => --against --data --help --install --output --report --version"
    "import-data |l                    => list.csv"
    "import-data list.csv --against |d => data.csv"
    "import-data list.csv |            =>"
)

failed=0
for c in "${cases[@]}"; do
    line=${c%%=>*}
    want=$(echo ${c#*=>})
    before=${line%%|*}
    current=$(echo ${line#*|})
    read -r -a words <<<"korvallestin-cli $before"
    COMP_WORDS=("${words[@]}" "$current")
    COMP_CWORD=${#words[@]}
    COMPREPLY=()
    _korvallestin_cli
    got=$(printf '%s\n' "${COMPREPLY[@]}" | LC_ALL=C sort | xargs)
    if [ "$got" != "$want" ]; then
        echo "FAIL: korvallestin-cli ${before}[${current}] offers '$got', not '$want'"
        failed=$((failed + 1))
    fi
done
echo "$((${#cases[@]} - failed)) passed, $failed failed"
[ "$failed" -eq 0 ]
