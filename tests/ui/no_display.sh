#!/usr/bin/env bash
# moravik without a display: one plain line on standard error and a failure
# status, never Qt's abort (status 134 and a core dump). The line names the
# real cause: no display set, or Qt's reason when one is set.
# Usage: no_display.sh path/to/moravik
set -uo pipefail
moravik=$1
failures=0

check() {
    local what=$1 expected=$2 status lines
    shift 2
    local err
    err=$(mktemp)
    env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@" "${moravik}" >/dev/null 2>"${err}"
    status=$?
    lines=$(wc -l <"${err}")
    if [ "${status}" -eq 0 ] || [ "${status}" -gt 125 ] || [ "${lines}" -ne 1 ] ||
        ! grep -qF "${expected}" "${err}"; then
        echo "FAIL ${what}: status ${status}, ${lines} line(s) on stderr:"
        cat "${err}"
        failures=$((failures + 1))
    else
        echo "ok   ${what}: status ${status}: $(cat "${err}")"
    fi
    rm -f "${err}"
}

check "DISPLAY unset" "no display is available" -u DISPLAY
check "DISPLAY names no server" "could not connect to display :4242" DISPLAY=:4242
check "no such platform plugin" 'Could not find the Qt platform plugin "nosuchplatform"' \
    DISPLAY=:4242 QT_QPA_PLATFORM=nosuchplatform
exit $((failures > 0))
