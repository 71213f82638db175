#!/usr/bin/env bash
# The window programs without a display: one plain line on standard error and
# a failure status, never Qt's abort (status 134 and a core dump); --help and
# --version answer without any display.
# Usage: no_display.sh path/to/moravik path/to/moravik-raceday
set -uo pipefail
failures=0

check() {
    local program=$1 what=$2 status lines err
    shift 2
    err=$(mktemp)
    env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@" "${program}" >/dev/null 2>"${err}"
    status=$?
    lines=$(wc -l <"${err}")
    if [ "${status}" -ne 1 ] || [ "${lines}" -ne 1 ] ||
        ! grep -q "^$(basename "${program}"): cannot open the window: no display is available" "${err}"; then
        echo "FAIL $(basename "${program}") ${what}: status ${status}, ${lines} line(s) on stderr:"
        cat "${err}"
        failures=$((failures + 1))
    else
        echo "ok   $(basename "${program}") ${what}: status ${status}: $(cat "${err}")"
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
    check "${program}" "DISPLAY unset" -u DISPLAY
    check "${program}" "DISPLAY names no server" DISPLAY=:4242
    answers "${program}" --help "Exit status"
    answers "${program}" --version "^$(basename "${program}") [0-9]"
done
exit $((failures > 0))
