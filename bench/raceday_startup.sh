#!/usr/bin/env bash
# Race Day's start-up to the first painted window, as a whole process, with an
# empty run log and with one of 100,000 runs, each started 10 times on the
# offscreen platform with fresh settings. Reports the median wall time and
# peak resident memory of each, and their ratios (goal: at most 1.5 times the
# time, and under 80 MB, with 100,000 runs).
#
# Usage: bench/raceday_startup.sh [path/to/bin]   (default: build/default/bin)
set -euo pipefail
cd "$(dirname "$0")/.."

bin=$(realpath "${1:-build/default/bin}")
runs=10
work=$(mktemp -d)
trap 'rm -rf "${work}"' EXIT
export QT_QPA_PLATFORM=offscreen HOME="${work}/home" XDG_CONFIG_HOME="${work}/config"
mkdir -p "${HOME}"

source bench/startup_common.sh

"${bin}/raceday_startup" "${work}/big.sqlite" --make 100000
read -r empty_ms empty_kib < <(measure "${bin}/raceday_startup" "${work}/empty.sqlite")
read -r big_ms big_kib < <(measure "${bin}/raceday_startup" "${work}/big.sqlite")
echo "empty log:     ${empty_ms} ms, ${empty_kib} KiB peak (median of ${runs})"
echo "100,000 runs:  ${big_ms} ms, ${big_kib} KiB peak (median of ${runs})"
awk -v a="${big_ms}" -v b="${empty_ms}" -v c="${big_kib}" \
    'BEGIN { printf "ratio:         time %.2f (goal at most 1.5), peak %.1f MB (goal under 80)\n", a / b, c / 1024 }'
