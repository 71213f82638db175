#!/usr/bin/env bash
# Without a display: one line naming the cause and status 1, never Qt's abort (134, a core).
# --help and --version answer without any display.
# Usage: no_display.sh path/to/moravik path/to/moravik-raceday
set -uo pipefail
failures=0

check() {
    local program=$1 what=$2 expected=$3 status lines err
    shift 3
    err=$(mktemp)
    env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@" "${program}" >/dev/null 2>"${err}"
    status=$?
    lines=$(wc -l <"${err}")
    if [ "${status}" -ne 1 ] || [ "${lines}" -ne 1 ] ||
        ! grep -q "^$(basename "${program}"): cannot open the window: " "${err}" ||
        ! grep -qF "${expected}" "${err}"; then
        echo "FAIL $(basename "${program}") ${what}: status ${status}, ${lines} line(s) on stderr:"
        cat "${err}"
        failures=$((failures + 1))
    else
        echo "ok   $(basename "${program}") ${what}"
    fi
    rm -f "${err}"
}

answers() {
    local program=$1 option=$2 expected=$3 out status
    out=$(env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u DISPLAY "${program}" "${option}" 2>&1)
    status=$?
    if [ "${status}" -ne 0 ] || ! grep -q -- "${expected}" <<<"${out}"; then
        echo "FAIL $(basename "${program}") ${option} without a display: status ${status}: ${out}"
        failures=$((failures + 1))
    else
        echo "ok   $(basename "${program}") ${option} without a display"
    fi
}

for program in "$@"; do
    check "${program}" "DISPLAY unset" "no display is available" -u DISPLAY
    check "${program}" "DISPLAY names no server" "could not connect to display :4242" \
        DISPLAY=:4242
    check "${program}" "no such platform plugin" \
        'Could not find the Qt platform plugin "nosuchplatform"' \
        DISPLAY=:4242 QT_QPA_PLATFORM=nosuchplatform
    answers "${program}" --help "Exit status"
    answers "${program}" --version "^$(basename "${program}") [0-9]"
done
exit $((failures > 0))
