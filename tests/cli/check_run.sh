#!/usr/bin/env bash
# check_run.sh [--exit N] [--stdin FILE] [--stdout GOLDEN] [--stdout-match ERE]... -- COMMAND...:
#   COMMAND's exit status, its standard output equal to GOLDEN, some line of it matching each ERE.
set -u
expected_exit=0 stdin=/dev/null golden= failed=0 patterns=()
while [ "$1" != -- ]; do
  case $1 in
    --exit) expected_exit=$2 ;;
    --stdin) stdin=$2 ;;
    --stdout) golden=$2 ;;
    --stdout-match) patterns+=("$2") ;;
    *) echo "check_run.sh: unknown check $1" >&2; exit 2 ;;
  esac
  shift 2
done
shift
out=$(mktemp) err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
"$@" <"$stdin" >"$out" 2>"$err"
status=$?
[ "$status" -eq "$expected_exit" ] || { echo "exit status $status, expected $expected_exit"; failed=1; }
[ -z "$golden" ] || diff -u "$golden" "$out" || failed=1
for pattern in "${patterns[@]}"; do
  grep -Eq -e "$pattern" "$out" || { echo "no line of stdout matches: $pattern"; failed=1; }
done
[ "$failed" -eq 0 ] || { echo "--- stdout (start):"; head -c 4000 "$out"; echo "--- stderr:"; cat "$err"; }
exit "$failed"
