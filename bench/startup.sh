#!/usr/bin/env bash
# Start-up to the first painted window, as a whole process: Moravik's main
# window against a bare Qt window, each started 20 times on the offscreen
# platform. Reports the median wall time and the median peak resident memory
# of each, and Moravik's ratios to the bare window.
#
# Usage: bench/startup.sh [path/to/bin]   (default: build/default/bin)
set -euo pipefail
cd "$(dirname "$0")/.."

bin=$(realpath "${1:-build/default/bin}")
runs=20
export QT_QPA_PLATFORM=offscreen

source bench/startup_common.sh

read -r bare_ms bare_kib < <(measure "${bin}/bare_window")
read -r moravik_ms moravik_kib < <(measure "${bin}/moravik_startup")
echo "bare window:  ${bare_ms} ms, ${bare_kib} KiB peak (median of ${runs})"
echo "Moravik:      ${moravik_ms} ms, ${moravik_kib} KiB peak (median of ${runs})"
awk -v a="${moravik_ms}" -v b="${bare_ms}" -v c="${moravik_kib}" -v d="${bare_kib}" \
    'BEGIN { printf "ratio:        time %.2f, peak memory %.2f (goal: at most 1.30 each)\n", a / b, c / d }'
