#!/usr/bin/env bash
# Runs one command and checks its exit status, its standard output (against a
# golden file, or line patterns that some line must match) and its standard error.
#
# check_run.sh [--exit N] [--stdin FILE] [--stdout FILE] [--stdout-match ERE]...
#              [--stderr-match ERE]... -- COMMAND [ARGUMENT]...
set -u

expected_exit=0
stdin=/dev/null
golden=
stdout_patterns=()
stderr_patterns=()
while [ $# -gt 0 ]; do
  case $1 in
    --exit) expected_exit=$2; shift 2 ;;
    --stdin) stdin=$2; shift 2 ;;
    --stdout) golden=$2; shift 2 ;;
    --stdout-match) stdout_patterns+=("$2"); shift 2 ;;
    --stderr-match) stderr_patterns+=("$2"); shift 2 ;;
    --) shift; break ;;
    *) echo "check_run.sh: unknown check $1" >&2; exit 2 ;;
  esac
done

out=$(mktemp)
err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
"$@" <"$stdin" >"$out" 2>"$err"
status=$?

failed=0
if [ "$status" -ne "$expected_exit" ]; then
  echo "exit status $status, expected $expected_exit"
  failed=1
fi
if [ -n "$golden" ] && ! diff -u "$golden" "$out"; then
  failed=1
fi
for pattern in "${stdout_patterns[@]}"; do
  grep -Eq -e "$pattern" "$out" || { echo "no line of standard output matches: $pattern"; failed=1; }
done
for pattern in "${stderr_patterns[@]}"; do
  grep -Eq -e "$pattern" "$err" || { echo "no line of standard error matches: $pattern"; failed=1; }
done
if [ "$failed" -ne 0 ]; then
  echo "--- standard output (start):"
  head -c 4000 "$out"
  echo "--- standard error:"
  cat "$err"
fi
exit "$failed"
