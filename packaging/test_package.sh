#!/usr/bin/env bash
# Builds the Debian package from a finished build, unpacks it into a scratch
# root with dpkg -x, and tries the installed copy there: its dependencies, its
# layout, the desktop integration files, moravik-calc, the window program and
# the help documents.
#
#   test_package.sh BUILD_DIR CPACK OPEN_DOCUMENTS RACEDAY_APP_ID WEB_FOLDER HELP_DOCUMENT...
#
# WEB_FOLDER is the wasm preset's web app; when it has been built, the package
# must carry it, file for file, in usr/share/moravik/web.
set -euo pipefail
build_dir=$1
cpack=$2
open_documents=$3
raceday_app_id=$4
web_folder=$5

app_id=org.example.Moravik
documents=("${@:6}")

scratch=$(mktemp -d)
# CPack's install rewrites the build's install manifest; the one that a
# person's own `cmake --install` left there is put back afterwards.
manifest=$build_dir/install_manifest.txt
if [ -f "$manifest" ]; then
    cp -p "$manifest" "$scratch/install_manifest.txt"
fi
clean_up() {
    if [ -f "$scratch/install_manifest.txt" ]; then
        cp -p "$scratch/install_manifest.txt" "$manifest"
    else
        rm -f "$manifest"
    fi
    rm -rf "$scratch"
}
trap clean_up EXIT
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
pass() { echo "ok: $*"; }

# The package goes to the scratch folder, so a package that the build itself
# made, or is making, is left alone.
if ! "$cpack" --config "$build_dir/CPackConfig.cmake" -G DEB -B "$scratch/out" \
    >"$scratch/cpack.log" 2>&1; then
    cat "$scratch/cpack.log"
    echo "FAIL: cpack"
    exit 1
fi
shopt -s nullglob
packages=("$scratch"/out/*.deb)
shopt -u nullglob
if [ ${#packages[@]} -ne 1 ]; then
    echo "FAIL: expected one .deb, found ${#packages[@]}"
    exit 1
fi
package=${packages[0]}
pass "built $(basename "$package")"

name=$(dpkg-deb -f "$package" Package)
version=$(dpkg-deb -f "$package" Version)
architecture=$(dpkg-deb -f "$package" Architecture)
[ "$(basename "$package")" = "${name}_${version}_${architecture}.deb" ] ||
    fail "file name $(basename "$package") is not ${name}_${version}_${architecture}.deb"
[ "$name" = moravik ] || fail "package name is $name"

depends=$(dpkg-deb -f "$package" Depends)
echo "Depends: $depends"
depended_names=$(tr ',' '\n' <<<"$depends" | sed -E 's/^ *([^ ]+).*/\1/')
# The run log is the SQLite C library's, linked by moravik-calc and Race Day; Race Day's
# chart is Qt Charts'.
for dependency in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6charts6 \
    fonts-liberation2 libsqlite3-0; do
    grep -Fqx "$dependency" <<<"$depended_names" || fail "Depends lacks $dependency"
done

# Everything the package holds lies in the folders this layout uses.
expected_paths='^(|usr/|usr/bin/.*|usr/lib/|usr/lib/moravik/.*|usr/share/'
expected_paths+='|usr/share/(applications|metainfo|man|icons|doc|lintian|moravik)/.*)$'
unexpected=$(dpkg-deb -c "$package" | awk '{ print $6 }' | sed 's|^\./||' |
    grep -vE "$expected_paths" || true)
if [ -n "$unexpected" ]; then
    fail "unexpected paths in the package:"
    echo "$unexpected"
fi

root=$scratch/root
dpkg -x "$package" "$root"

if [ -f "$web_folder/index.html" ]; then
    if diff -r "$web_folder" "$root/usr/share/moravik/web" >/dev/null; then
        pass "the web app is in usr/share/moravik/web"
    else
        fail "usr/share/moravik/web differs from $web_folder"
    fi
else
    echo "skipped: no web app in $web_folder (build the wasm preset first)"
fi

# The programs in bin/ are relative links into the application folder, stripped; the
# window program resolves its link, so that folder is where it looks for its documents.
# Each has a manual page that renders, and each window program its menu entry, icons and
# metainfo (Icon= names the application's id, Exec= the program).
for program in moravik moravik-calc moravik-raceday; do
    link=$root/usr/bin/$program target=$root/usr/lib/moravik/$program
    if [ ! -L "$link" ] || [[ $(readlink "$link") == /* ]]; then
        fail "usr/bin/$program is not a relative link"
    elif [ "$(readlink -f "$link")" != "$target" ] || [ ! -x "$target" ]; then
        fail "usr/bin/$program resolves to $(readlink -f "$link"), no program"
    elif ! file -b "$target" | grep -q ', stripped'; then
        fail "usr/lib/moravik/$program still carries its symbols"
    else
        pass "usr/bin/$program -> $(readlink "$link")"
    fi
    # grep reads it all: with pipefail, man ended early by grep -q would count as a failure.
    MANWIDTH=80 man -l "$root/usr/share/man/man1/$program.1.gz" 2>/dev/null |
        grep 'EXIT STATUS' >/dev/null || fail "the manual page of $program does not render"
done
for id_program in "$app_id moravik" "$raceday_app_id moravik-raceday"; do
    read -r id program <<<"$id_program"
    desktop_file=$root/usr/share/applications/$id.desktop
    grep -qx "Exec=$program" "$desktop_file" || fail "$id.desktop does not start $program"
    grep -qx "Icon=$id" "$desktop_file" || fail "$id.desktop names another icon"
    [ -f "$root/usr/share/metainfo/$id.metainfo.xml" ] || fail "no $id.metainfo.xml"
    [ -f "$root/usr/share/icons/hicolor/scalable/apps/$id.svg" ] || fail "no scalable icon $id"
    for size in 16 32 48 64 128 256; do
        file -b "$root/usr/share/icons/hicolor/${size}x${size}/apps/$id.png" |
            grep -q "PNG image data, $size x $size," || fail "no ${size}x${size} PNG icon $id"
    done
done
app_folder=$(dirname "$(readlink -f "$root/usr/bin/moravik")")
for document in "${documents[@]}"; do
    [ -f "$app_folder/$document" ] || fail "$document is not beside moravik"
done

output=$("$root/usr/bin/moravik-calc" --json) || fail "moravik-calc --json exited with $?"
grep -Fq '"TextBox3":" 40.64508"' <<<"$output" && grep -Fq '"huntet":" 14.4800555143393"' \
    <<<"$output" || fail "installed moravik-calc --json printed: $output"
report=$("$root/usr/bin/moravik-calc") || fail "moravik-calc exited with $?"
grep -Eq 'Calculated HP: +40\.64508' <<<"$report" || fail "moravik-calc report: $report"
# Checks the installed metainfo together with the desktop files and icons they
# name, as a software centre would.
appstreamcli validate-tree --no-net "$root/usr" || fail "appstreamcli validate-tree"

# Debian's own package check: no error, no warning, and every hardening flag.
if command -v lintian >/dev/null; then
    remarks=$(lintian --display-info --tag-display-limit 0 "$package" 2>&1 |
        grep -v 'running with root privileges' || true)
    complaints=$(grep -E '^[EW]: |hardening-' <<<"$remarks" || true)
    if [ -z "$complaints" ]; then
        pass "lintian finds no error, warning or missing hardening"
    else
        fail "lintian:"$'\n'"$complaints"
    fi
else
    echo "note: lintian is not installed (scripts/setup.sh installs it); not run"
fi

# The window program must still be running after three seconds (timeout's
# status 124); an earlier end means it failed to start.
status=0
QT_QPA_PLATFORM=offscreen timeout 3 "$root/usr/bin/moravik" >"$scratch/moravik.log" 2>&1 ||
    status=$?
if [ "$status" -eq 124 ]; then
    pass "installed moravik started and kept running"
else
    cat "$scratch/moravik.log"
    fail "installed moravik ended with status $status within three seconds"
fi

if QT_QPA_PLATFORM=offscreen "$open_documents" "$app_folder" "${documents[@]}"; then
    pass "help documents open from $app_folder"
else
    fail "help documents do not open from the installed folder"
fi

"$(dirname "$0")/check_raceday_package.sh" "$root" ||
    fail "Race Day in the package"

echo "package test: $failures failed"
[ "$failures" -eq 0 ]
