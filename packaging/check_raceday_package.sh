#!/usr/bin/env bash
# Checks Race Day in a package that test_package.sh has unpacked: its
# dependency on Qt Charts, its link, menu entry, icons and manual page, and
# that the installed program shows its window on an X display (Xvfb).
#
#   check_raceday_package.sh PACKAGE ROOT APP_ID
set -euo pipefail
package=$1
root=$2
app_id=$3
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
pass() { echo "ok: $*"; }

depends=$(dpkg-deb -f "$package" Depends)
grep -Eq '(^|, )libqt6charts6( |,|$)' <<<"$depends" || fail "Depends lacks libqt6charts6"

program=$root/usr/bin/moravik-raceday
if [ ! -L "$program" ] || [[ $(readlink "$program") == /* ]]; then
    fail "usr/bin/moravik-raceday is not a relative link"
elif [ "$(readlink -f "$program")" != "$root/usr/lib/moravik/moravik-raceday" ]; then
    fail "usr/bin/moravik-raceday resolves to $(readlink -f "$program")"
elif ! file -b "$(readlink -f "$program")" | grep -q ', stripped'; then
    fail "moravik-raceday still carries its symbols"
else
    pass "usr/bin/moravik-raceday -> $(readlink "$program")"
fi

desktop_file=$root/usr/share/applications/$app_id.desktop
grep -qx 'Exec=moravik-raceday' "$desktop_file" || fail "$app_id.desktop does not start moravik-raceday"
grep -qx "Icon=$app_id" "$desktop_file" || fail "$app_id.desktop names another icon"
[ -f "$root/usr/share/metainfo/$app_id.metainfo.xml" ] || fail "no $app_id.metainfo.xml"
for icon in "$root"/usr/share/icons/hicolor/{16x16,32x32,48x48,64x64,128x128,256x256}/apps/$app_id.png \
    "$root/usr/share/icons/hicolor/scalable/apps/$app_id.svg"; do
    [ -f "$icon" ] || fail "no icon ${icon#"$root"/}"
done
MANWIDTH=80 man -l "$root/usr/share/man/man1/moravik-raceday.1.gz" 2>/dev/null |
    grep -q 'EXIT STATUS' || fail "the moravik-raceday manual page does not render"

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
