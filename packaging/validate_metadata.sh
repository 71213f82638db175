#!/usr/bin/env bash
# Validates the desktop integration files with the tools that desktops and
# software centres use. Any message, warning included, counts as a failure.
#
#   validate_metadata.sh desktop FILE.desktop
#   validate_metadata.sh metainfo FILE.metainfo.xml VERSION
set -euo pipefail

case "${1:-}" in
desktop)
    report=$(desktop-file-validate "$2" 2>&1) || { echo "$report"; exit 1; }
    if [ -n "$report" ]; then
        echo "$report"
        exit 1
    fi
    echo "desktop-file-validate: $2 is clean"
    ;;
metainfo)
    appstreamcli validate --no-net --strict "$2"
    # Software centres show the newest release as the version; a version bump
    # needs its release entry.
    if ! grep -Fq "<release version=\"$3\"" "$2"; then
        echo "$2 has no release entry for version $3"
        exit 1
    fi
    echo "$2 lists release $3"
    ;;
*)
    echo "usage: $0 desktop FILE | metainfo FILE VERSION" >&2
    exit 2
    ;;
esac
