#!/usr/bin/env bash
# Installs the Debian packages Moravik needs to build, test and package,
# installs the browser tests' pinned npm packages (axe-core, from
# tests/web/package-lock.json) and makes the comma-decimal locale used by the
# locale tests available.
# Safe to run again: it installs only what is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  clang libclang-rt-14-dev libc++-dev libc++abi-dev libfast-float-dev googletest
  emscripten nodejs libfmt-dev chromium chromium-driver python3-selenium
  libgtest-dev libgmock-dev libbenchmark-dev
  nlohmann-json3-dev libcli11-dev
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev
  qt6-charts-dev qt6-svg-dev libqt6opengl6-dev
  libsqlite3-dev libqt6sql6-sqlite
  fonts-liberation2 fontconfig
  locales
  desktop-file-utils appstream dpkg-dev file man-db lintian
  hyperfine python3 python3-mpmath python3-pil time strace
  xvfb xauth x11-utils xdotool
  poppler-utils
)

missing=()
for pkg in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$pkg")
  fi
done
# npm installs the browser tests' pinned tools; a Node.js from elsewhere may bring its own.
if ! command -v npm >/dev/null; then
  missing+=(npm)
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -q
  "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  echo "setup: generating the de_DE.UTF-8 locale"
  if ! grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    echo 'de_DE.UTF-8 UTF-8' | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
  fi
  "${sudo_cmd[@]}" locale-gen >/dev/null
fi

web_tests="$(cd "$(dirname "$0")/../tests/web" && pwd)"
if [ ! "${web_tests}/node_modules/axe-core/axe.min.js" -nt "${web_tests}/package-lock.json" ]; then
  echo "setup: installing the browser tests' npm packages (npm ci in tests/web)"
  (cd "${web_tests}" && npm ci --no-audit --no-fund --loglevel=error)
fi
