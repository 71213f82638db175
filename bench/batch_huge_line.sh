#!/usr/bin/env bash
# Peak memory of moravik-calc --batch on one 100 MB line and a short one after
# it. The long line is over the 1 MiB cap, so it gets an error line (exit
# status 2) and must not be held in memory.
#
# Usage: bench/batch_huge_line.sh [path/to/moravik-calc]
set -uo pipefail
cd "$(dirname "$0")/.."

calc=$(realpath "${1:-build/default/bin/moravik-calc}")
{
    printf '{"njt":"'
    head -c 100000000 /dev/zero | tr '\0' 9
    printf '"}\n{"njt":".118"}\n'
} | /usr/bin/time -q -f "peak memory %M KB, %e s" "$calc" --batch >/dev/null
status=${PIPESTATUS[1]}
[ "$status" -eq 2 ] || { echo "moravik-calc --batch exited with $status, expected 2"; exit 1; }
