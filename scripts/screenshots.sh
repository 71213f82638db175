#!/usr/bin/env bash
# Refreshes the committed pictures in screenshots/: the main window and Race Day
# on an Xvfb display, the web app at phone size in headless Chromium. The test
# command only writes pictures into the build folders, so a clone stays clean;
# run this after changing what a picture shows, and commit the result.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/setup.sh

cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)" \
  --target screenshot_generator raceday_screenshot moravik_docs moravik-calc
# The web page tests compare the module with the default build's moravik-calc.
cmake --preset wasm >/dev/null
cmake --build --preset wasm -j "$(nproc)"

on_xvfb() {
  xvfb-run -a -s "-screen 0 1280x1024x24" env QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8 "$@"
}
pictures=build/default/scripts/screenshots
on_xvfb build/default/bin/screenshot_generator "${pictures}/windows"
on_xvfb env HOME="${pictures}/home-raceday_screenshot" \
  build/default/bin/raceday_screenshot
# The page tests save their phone-sized pictures in the wasm build folder.
ctest --preset wasm -R '^web\.(calculator|raceday|runs)_page_in_chromium$' --output-on-failure

cp "${pictures}/windows/main-window.png" "${pictures}/race-day/race-day.png" \
  build/wasm/apps/web/screenshots/web-calculator.png build/wasm/apps/web/screenshots/web-todays-air.png \
  build/wasm/apps/web/screenshots/web-runs.png \
  screenshots/
git status --short -- screenshots/
