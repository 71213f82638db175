#!/bin/bash
# Peak memory of moravik-calc log runs (text, CSV, JSON) and log export on a
# log of 1,000,000 runs (or $1): each must stay under 50 MB, as the rows are
# written while they are read. Needs the default build.
#   bench/log_memory.sh [RUNS]
set -euo pipefail
bin=${BIN:-build/default/bin}
runs=${1:-1000000}
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
log=$folder/run-log.sqlite
echo "Making a log of $runs runs..."
"$bin/make_big_log" "$log" "$runs"
ls -l "$log"
printf '%-28s %10s %10s %10s\n' "command" "peak (MB)" "CPU (s)" "wall (s)"
for command in "runs" "runs --csv" "runs --json" "export"; do
    # shellcheck disable=SC2086
    /usr/bin/time -f '%M %U %S %e' -o "$folder/time" \
        "$bin/moravik-calc" log --database "$log" $command > /dev/null
    read -r kilobytes user system wall < "$folder/time"
    printf '%-28s %10s %10s %10s\n' "log $command" "$((kilobytes / 1024))" \
        "$(awk -v u="$user" -v s="$system" 'BEGIN { print u + s }')" "$wall"
done
