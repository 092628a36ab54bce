# bash completion of glosscutter-cli and glosscutter. It needs bash alone
# (compgen), not the bash-completion package, so that sourcing it from any
# ~/.bashrc works. Installed under both names: bash-completion loads the file
# named after the command being completed.

# Fills COMPREPLY with the words of compgen "$@", one a line, so that file
# names with blanks stay whole.
_glosscutter_reply() {
    mapfile -t COMPREPLY < <(compgen "$@")
}

# Completes the value of option $1 from the word $2; fails when $1 takes no
# value. compopt fails outside a completion, as when a test calls this.
_glosscutter_value() {
    case $1 in
    --format) _glosscutter_reply -W 'text json sarif' -- "$2" ;;
    --operation) _glosscutter_reply -W 'mark remove' -- "$2" ;;
    --color) _glosscutter_reply -W 'auto always never' -- "$2" ;;
    --source-folder)
        compopt -o filenames 2>/dev/null
        _glosscutter_reply -d -- "$2"
        ;;
    --settings | --keyword-file | --skipped-file | --baseline | --write-baseline)
        compopt -o filenames 2>/dev/null
        _glosscutter_reply -f -- "$2"
        ;;
    --keep | --threads) COMPREPLY=() ;;
    *) return 1 ;;
    esac
}

# Sets cur and opt: the word being completed, and the word before it. bash
# splits "--color=al" into "--color", "=" and "al".
_glosscutter_words() {
    cur=${COMP_WORDS[COMP_CWORD]}
    opt=${COMP_WORDS[COMP_CWORD - 1]}
    if [[ $cur == = ]]; then
        cur=
    elif [[ $opt == = ]]; then
        opt=${COMP_WORDS[COMP_CWORD - 2]}
    fi
}

_glosscutter_cli() {
    local cur opt options='--settings --no-settings --keyword-file --source-folder
        --skipped-file --keep --strict --quiet --threads --help'
    _glosscutter_words
    if ((COMP_CWORD == 1)); then
        _glosscutter_reply -W 'scan wipe init --help --version' -- "$cur"
        return
    fi
    _glosscutter_value "$opt" "$cur" && return
    case ${COMP_WORDS[1]} in
    scan) options+=' --format --unused --check --baseline --write-baseline --color=' ;;
    wipe) options+=' --operation --dry-run --allow-unreadable' ;;
    *) options=--help ;;
    esac
    _glosscutter_reply -W "$options" -- "$cur"
    # "--color=" waits for its value.
    if [[ ${COMPREPLY[*]} == --color= ]]; then
        compopt -o nospace 2>/dev/null
    fi
    return 0
}

_glosscutter() {
    local cur opt
    _glosscutter_words
    if [[ $opt == --settings ]]; then
        compopt -o filenames 2>/dev/null
        _glosscutter_reply -f -- "$cur"
    else
        _glosscutter_reply -W '--settings --load --used-list --help' -- "$cur"
    fi
}

complete -F _glosscutter_cli glosscutter-cli
complete -F _glosscutter glosscutter
