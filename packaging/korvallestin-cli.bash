# bash completion for korvallestin-cli                       -*- shell-script -*-
#
# Completes the commands, each command's options, the values that have a
# fixed set (formats, columns to sort by, states) and file names where the
# program takes a file. Needs nothing from the bash-completion package.

_korvallestin_cli() {
    local cur=${COMP_WORDS[COMP_CWORD]}
    local prev=""
    local i=$COMP_CWORD
    [ "$i" -gt 0 ] && prev=${COMP_WORDS[i - 1]}
    # "--state=Q" arrives as "--state" "=" "Q" (or "--state" "=" when
    # nothing follows the sign yet).
    if [ "$cur" = "=" ]; then
        prev=${COMP_WORDS[i - 1]}
        cur=""
    elif [ "$prev" = "=" ] && [ "$i" -gt 1 ]; then
        prev=${COMP_WORDS[i - 2]}
    fi

    local takes_value="--data --postcode --state --locality --sort --format
        --postcode-column --locality-column --state-column --output
        --header-line --delimiter --encoding --summary-json --against --report"

    # The command is the first word that is neither an option nor an
    # option's value.
    local command="" list_given="" word j after_value=""
    for ((j = 1; j < COMP_CWORD; j++)); do
        word=${COMP_WORDS[j]}
        if [ -n "$after_value" ]; then
            after_value=""
            [ "$word" = "=" ] && after_value=1
            continue
        fi
        case $word in
            --) ;;
            -*)
                if [[ " ${takes_value//$'\n'/ } " == *" $word "* ]]; then
                    after_value=1
                fi
                ;;
            =) ;;
            *)
                if [ -z "$command" ]; then
                    command=$word
                elif [ "$command" = check ] || [ "$command" = import-data ]; then
                    list_given=1
                fi
                ;;
        esac
    done

    COMPREPLY=()
    case $prev in
        --data | --output | --summary-json | --against | --report)
            compopt -o filenames 2>/dev/null
            mapfile -t COMPREPLY < <(compgen -f -- "$cur")
            return
            ;;
        --format)
            mapfile -t COMPREPLY < <(compgen -W "text csv tsv json" -- "$cur")
            return
            ;;
        --sort)
            mapfile -t COMPREPLY < <(compgen -W "postcode locality state comments
                delivery-office presort-indicator parcel-zone bsp-number bsp-name" -- "$cur")
            return
            ;;
        --state)
            mapfile -t COMPREPLY < <(compgen -W "ACT NSW NT QLD SA TAS VIC WA" -- "${cur^^}")
            return
            ;;
        --delimiter)
            mapfile -t COMPREPLY < <(compgen -W "comma semicolon tab pipe" -- "$cur")
            return
            ;;
        --encoding)
            mapfile -t COMPREPLY < <(compgen -W "same utf-8 utf-8-bom windows-1252" -- "$cur")
            return
            ;;
        --postcode | --locality | --postcode-column | --locality-column | --state-column | \
            --header-line)
            return
            ;;
    esac

    local common="--data --help --version"
    if [[ $cur == -* ]]; then
        case $command in
            find)
                mapfile -t COMPREPLY < <(compgen -W "$common --postcode --state --locality
                    --contains --sort --descending --format" -- "$cur")
                ;;
            check)
                mapfile -t COMPREPLY < <(compgen -W "$common --postcode-column
                    --locality-column --state-column --output --problems-only --fix --no-header
                    --header-line --delimiter --encoding --summary-json --quiet" -- "$cur")
                ;;
            import-data)
                mapfile -t COMPREPLY < <(compgen -W "$common --output --install --against
                    --report" -- "$cur")
                ;;
            *)
                mapfile -t COMPREPLY < <(compgen -W "$common" -- "$cur")
                ;;
        esac
        return
    fi
    case $command in
        "")
            mapfile -t COMPREPLY < <(compgen -W "find check import-data help" -- "$cur")
            ;;
        check | import-data)
            if [ -z "$list_given" ]; then
                compopt -o filenames 2>/dev/null
                mapfile -t COMPREPLY < <(compgen -f -- "$cur")
            fi
            ;;
    esac
}
complete -F _korvallestin_cli korvallestin-cli
