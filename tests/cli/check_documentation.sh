#!/usr/bin/env bash
# check_documentation.sh render PAGE...: each manual page renders without a warning (as lintian).
# check_documentation.sh agree MORAVIK_CALC MANUAL_PAGE GUIDE: the manual page names every option
#   any --help lists, the guide none that none lists; both give each exit status as --help does.
set -euo pipefail
failures=0
fail() {
    echo "$*"
    failures=$((failures + 1))
}

render() {
    for page in "$@"; do
        warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 \
            man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
        [ -z "$warnings" ] || fail "rendering $page gives warnings:"$'\n'"$warnings"
    done
}

agree() {
    local calc=$1 page=$2 guide=$3
    local help options statuses page_text subcommand_help="" named man_section
    help=$("$calc" --help)
    # Manual pages write each hyphen of an option as \-.
    page_text=$(sed 's/\\-/-/g' "$page")
    for command in air predict solve-hp convert jet-for-hp bottle "log" "log runs" "log predict" \
        "log import" "log export" "log add"; do
        # shellcheck disable=SC2086 # "log runs" is two words
        if text=$("$calc" $command --help 2>/dev/null); then
            subcommand_help+=$text$'\n'
        fi
    done
    options=$(grep -oE -- '--[a-z][a-z-]*' <<<"$help"$'\n'"$subcommand_help" | sort -u)
    [ -n "$options" ] || fail "no options found in --help"
    for option in $options; do
        grep -Fq -- "$option" <<<"$page_text" || fail "option $option is missing from $page"
    done
    # An option named in the guide, as `--name, that no --help lists is stale.
    named=$(grep -oE -- '`--[a-z][a-z-]*' "$guide" | cut -c2- | sort -u)
    [ -n "$named" ] || fail "no options found in $guide"
    for option in $named; do
        grep -Fxq -- "$option" <<<"$options" || fail "$guide names $option, which no --help lists"
    done
    statuses=$(sed -n '/^Exit status/,$p' <<<"$help" | sed -nE 's/^  ([0-9])  (.*)$/\1\t\2/p')
    [ -n "$statuses" ] || fail "no exit statuses found in --help"
    man_section=$(sed -n '/^\.SH EXIT STATUS/,/^\.SH [^E]/p' <<<"$page_text")
    while IFS=$'\t' read -r status meaning; do
        grep -A1 -Fx ".B $status" <<<"$man_section" | grep -Fxq "$meaning." ||
            fail "$page lacks exit status $status: $meaning."
        grep -Fxq "| $status | $meaning |" "$guide" ||
            fail "$guide lacks the row | $status | $meaning |"
    done <<<"$statuses"
    echo "options: $(wc -w <<<"$options"), named in the guide: $(wc -w <<<"$named"), exit statuses: $(wc -l <<<"$statuses")"
}

mode=$1
shift
"$mode" "$@"
echo "failures: $failures"
[ "$failures" -eq 0 ]
