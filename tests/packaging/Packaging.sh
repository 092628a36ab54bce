#!/usr/bin/env bash
# Checks the man pages and the shell completions: the pages render without a
# warning, the completions load and offer the values and files each option
# takes, and every option of glosscutter-cli --help is in its page and its
# bash completion.
#   Packaging.sh PACKAGING_SOURCE_DIR MAN_PAGE_DIR GLOSSCUTTER_CLI
set -euo pipefail
completions=$1/completions man_dir=$2 cli=$3
command -v man >/dev/null || { echo "SKIP: man is not installed"; exit 77; }
export LC_ALL=C.UTF-8 MANWIDTH=1000
failed=0
fail() { echo "FAIL: $*"; failed=1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
touch keys.h && mkdir src

# The bash replies for the words given, the last one being completed, in
# plain bash: the completion must not need the bash-completion package.
replies() {
    bash --norc -c 'source "$0/glosscutter-cli.bash"
        function=$(complete -p "$1" | sed -n "s/.*-F \([^ ]*\).*/\1/p")
        COMP_WORDS=("$@") COMP_CWORD=$(($# - 1))
        "$function" && printf "%s\n" "${COMPREPLY[@]}"' "$completions" "$@" </dev/null
}
# words | a reply expected | a reply not expected
while IFS='|' read -r words wanted unwanted; do
    read -ra words <<<"$words"
    got=$(replies "${words[@]}" "") || fail "bash: ${words[*]}: no completion"
    grep -qx -- "$wanted" <<<"$got" || fail "bash: ${words[*]}: no $wanted in:" "${got//$'\n'/ }"
    ! grep -qx -- "$unwanted" <<<"$got" || fail "bash: ${words[*]}: offers $unwanted"
done <<'CASES'
glosscutter-cli|scan|--check
glosscutter-cli scan --format|sarif|--check
glosscutter-cli scan --format =|json|--check
glosscutter-cli scan --color =|never|--check
glosscutter-cli wipe --operation|remove|--dry-run
glosscutter-cli scan --keyword-file|keys.h|--keep
glosscutter-cli wipe --source-folder|src|keys.h
glosscutter-cli scan|--color=|--dry-run
glosscutter-cli wipe|--allow-unreadable|--format
glosscutter --settings|keys.h|--load
glosscutter|--used-list|scan
CASES

# page | a line it must render
while IFS='|' read -r page line; do
    man --warnings -l -P cat "$man_dir/$page.1" >page.txt 2>warnings.txt ||
        fail "$page(1) does not render"
    if [[ -s warnings.txt ]] || ! grep -qx NAME page.txt || ! grep -q -- "$line" page.txt; then
        fail "$page(1): no NAME or no $line, or warnings:" "$(cat warnings.txt)"
    fi
done <<'PAGES'
glosscutter|--used-list
glosscutter-cli|--write-baseline FILE
PAGES

offered=$(for command in scan wipe; do replies glosscutter-cli $command --; done; replies glosscutter-cli -)
for option in $("$cli" --help | grep -o -- '--[a-z][a-z-]*' | sort -u); do
    grep -q -- "^$option=\?\$" <<<"$offered" || fail "bash completion lacks $option"
    grep -qE -- "$option([^a-z-]|\$)" "$man_dir/glosscutter-cli.1" || fail "glosscutter-cli(1) lacks $option"
done

# zsh and fish: when installed.
if command -v zsh >/dev/null; then
    zsh -n "$completions/_glosscutter-cli" || fail "zsh completion"
else echo "zsh is not installed: its completion is not checked"; fi
if command -v fish >/dev/null; then
    fish -n "$completions"/*.fish || fail "fish completion"
    got=$(fish --no-config -c "source $completions/glosscutter-cli.fish
        complete -C'glosscutter-cli scan --format '") || true
    grep -q '^sarif' <<<"$got" || fail "fish: scan --format offers no sarif"
else echo "fish is not installed: its completion is not checked"; fi
exit "$failed"
