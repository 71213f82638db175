#!/usr/bin/env bash
# Real keys on a bare X server: F10 and a lone Alt reach the menu bar, and Enter acts on the
# highlighted entry, never on the focused button (Exit, at the start).
# Usage: xvfb-run keyboard_x11.sh path/to/moravik
set -uo pipefail
moravik=$1
failures=0
errors=$(mktemp)
trap 'rm -f "${errors}"' EXIT
export QT_QPA_PLATFORM=xcb

# Waits for a visible window whose title matches; only a hang takes 30 seconds.
wait_for_window() {
    for _ in $(seq 300); do
        xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 | grep . && return 0
        sleep 0.1
    done
    return 1
}

# check WHAT INPUT WINDOW: xdotool keys or "click" (on Help); WINDOW's title must show.
check() {
    local what=$1 input=$2 expected=$3 main pid verdict
    "${moravik}" 2>"${errors}" &
    pid=$!
    if main=$(wait_for_window '^Nitrous Moravik by Velmor$'); then
        for step in ${input}; do
            if [ "${step}" = click ]; then
                xdotool mousemove --window "${main}" 12 8 click 1
            else
                xdotool key "${step}"
            fi
            sleep 0.2
        done
        if wait_for_window "^${expected}\$" >/dev/null && kill -0 "${pid}" 2>/dev/null; then
            verdict=ok
        else
            verdict="FAIL: ${expected} did not show, or the program ended"
        fi
    else
        verdict="FAIL: the main window did not show"
    fi
    kill "${pid}" 2>/dev/null
    wait "${pid}" 2>/dev/null
    echo "${verdict} -- ${what}"
    [ "${verdict}" = ok ] || { failures=$((failures + 1)); cat "${errors}"; }
}

check "F10, Enter, Enter opens Field Inputs" "F10 Return Return" Form2
check "F10, Right, Enter opens About" "F10 Right Return" Form6
check "Alt, Left, Enter opens Shareware" "Alt_L Left Return" Form5
check "a click on Help, Right, Enter opens About" "click Right Return" Form6
exit $((failures > 0))
