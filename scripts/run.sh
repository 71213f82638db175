#!/usr/bin/env bash
# Builds Moravik and starts it. Without a display it prints the default
# calculation with moravik-calc instead of opening the window.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/setup.sh

cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)"

bin=build/default/bin
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No window opened: no display is set (DISPLAY and WAYLAND_DISPLAY are empty); the default calculation follows."
  exec "${bin}/moravik-calc"
fi
exec "${bin}/moravik" "$@"
