#!/usr/bin/env bash
# Checks the moravik-calc manual page: it renders without a single warning, and
# it documents every option and every exit status that the program's own
# --help lists, so the two cannot drift apart.
#
#   check_man_page.sh MANUAL_PAGE MORAVIK_CALC
set -euo pipefail
page=$1
calc=$2
failures=0

# The same rendering check that Debian's lintian runs on manual pages.
warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 \
    man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
if [ -n "$warnings" ]; then
    echo "rendering $page gives warnings:"
    echo "$warnings"
    failures=$((failures + 1))
fi

help=$("$calc" --help)

options=$(grep -oE -- '--[a-z][a-z-]*' <<<"$help" | sort -u)
[ -n "$options" ] || { echo "no options found in --help"; exit 1; }
for option in $options; do
    # Manual pages write each hyphen of an option as \-.
    if ! grep -Fq -- "${option//-/\\-}" "$page"; then
        echo "option $option is missing from the manual page"
        failures=$((failures + 1))
    fi
done

exit_statuses=$(sed -n '/^Exit status:/,$p' <<<"$help" | sed -nE 's/^ +([0-9]+) .*/\1/p')
[ -n "$exit_statuses" ] || { echo "no exit statuses found in --help"; exit 1; }
exit_section=$(sed -n '/^\.SH EXIT STATUS/,/^\.SH /p' "$page")
for status in $exit_statuses; do
    if ! grep -qx "\.B $status" <<<"$exit_section"; then
        echo "exit status $status is missing from the manual page"
        failures=$((failures + 1))
    fi
done

echo "options checked: $(wc -w <<<"$options")," \
    "exit statuses checked: $(wc -w <<<"$exit_statuses"), failures: $failures"
[ "$failures" -eq 0 ]
