#!/usr/bin/env bash
# Builds Moravik and starts it. Without a display it prints the default
# calculation with moravik-calc instead of opening the window.
# With --web it builds the web app instead and serves it on this machine only.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/setup.sh

if [ "${1:-}" = "--web" ]; then
  cmake --preset wasm >/dev/null
  cmake --build --preset wasm -j "$(nproc)"
  echo "Serving the web calculator and Race Day at http://127.0.0.1:8080/ (Ctrl+C stops it)"
  # The server's own banner would make a second line; requests still go to stderr.
  exec /usr/bin/python3 -m http.server 8080 --bind 127.0.0.1 --directory build/wasm/moravik-web >/dev/null
fi

cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)"

bin=build/default/bin
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No window opened: no display is set (DISPLAY and WAYLAND_DISPLAY are empty); the default calculation follows."
  exec "${bin}/moravik-calc"
fi
exec "${bin}/moravik" "$@"
