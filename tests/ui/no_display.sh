#!/usr/bin/env bash
# moravik without a display: one plain line on standard error and a failure
# status, never Qt's abort (status 134 and a core dump).
# Usage: no_display.sh path/to/moravik
set -uo pipefail
moravik=$1
failures=0

check() {
    local what=$1 status lines
    shift
    local err
    err=$(mktemp)
    env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@" "${moravik}" >/dev/null 2>"${err}"
    status=$?
    lines=$(wc -l <"${err}")
    if [ "${status}" -eq 0 ] || [ "${status}" -gt 125 ] || [ "${lines}" -ne 1 ] ||
        ! grep -q "no display is available" "${err}"; then
        echo "FAIL ${what}: status ${status}, ${lines} line(s) on stderr:"
        cat "${err}"
        failures=$((failures + 1))
    else
        echo "ok   ${what}: status ${status}: $(cat "${err}")"
    fi
    rm -f "${err}"
}

check "DISPLAY unset" -u DISPLAY
check "DISPLAY names no server" DISPLAY=:4242
exit $((failures > 0))
