#!/usr/bin/env bash
# Checks that Race Day, in a package that test_package.sh has unpacked, shows
# its window on an X display (Xvfb).
#
#   check_raceday_package.sh ROOT
set -euo pipefail
root=$1
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
pass() { echo "ok: $*"; }

program=$root/usr/bin/moravik-raceday
# The window must be mapped on the X display within six seconds. Its settings
# go to a scratch home.
scratch_home=$(mktemp -d)
trap 'rm -rf "$scratch_home"' EXIT
if HOME=$scratch_home XDG_CONFIG_HOME=$scratch_home xvfb-run -a -s '-screen 0 1024x768x24' \
    bash -c '
        "$1" >"$2/raceday.log" 2>&1 &
        for _ in $(seq 60); do
            sleep 0.1
            if xwininfo -root -tree | grep -q "\"Moravik Race Day"; then
                kill $!
                exit 0
            fi
        done
        kill $! 2>/dev/null
        exit 1' shown "$program" "$scratch_home"; then
    pass "installed moravik-raceday shows its window under Xvfb"
else
    cat "$scratch_home/raceday.log"
    fail "installed moravik-raceday showed no window under Xvfb"
fi

[ "$failures" -eq 0 ]
