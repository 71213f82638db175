#!/usr/bin/env bash
# check_io.sh CASE MORAVIK_CALC [--no-memory-limit]: moravik-calc where writing or reading fails,
# on a huge line and line by line, ends with the documented status and says why on standard error.
set -u
case_name=$1 calc=$2 memory_limit=${3:-}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# check WHAT STATUS WANTED_STATUS STDERR_ERE: an empty ERE wants no standard error.
check() {
    local what=$1 status=$2 wanted=$3 pattern=$4
    if [ "$status" -ne "$wanted" ]; then
        fail "$what: exit status $status, expected $wanted"
    elif [ -z "$pattern" ] && [ -s "$scratch/err" ]; then
        fail "$what: unexpected standard error"
    elif [ -n "$pattern" ] && ! grep -Eq -- "$pattern" "$scratch/err"; then
        fail "$what: no line of standard error matches /$pattern/"
    else
        echo "ok: $what"
        return
    fi
    cat "$scratch/err"
}

# Every kind of output, a race-day subcommand included, each with a one-line --batch input.
modes=(--json "" --help --version --tracks "--jet-chart 0.02:0.06:0.005 --csv" --batch
    "convert --eighth-et 7.00 --eighth-mph 98")
run_each_mode() {
    local target=$1 reason=$2
    for mode in "${modes[@]}"; do
        # shellcheck disable=SC2086 # a mode is its words
        eval '"$calc" $mode <<<"{}" 2>"$scratch/err"' "$target"
        check "${mode:-report} $target" $? 3 \
            "^moravik-calc: cannot write to standard output: $reason\$"
    done
}

case $case_name in
full_disk) run_each_mode '>/dev/full' 'No space left on device' ;;
closed_stdout) run_each_mode '>&-' 'Bad file descriptor' ;;
broken_pipe)
    # SIGPIPE ignored: the first failed write must end the run, or timeout gives up (124).
    (
        trap '' PIPE
        yes '{}' 2>/dev/null | timeout 20 "$calc" --batch 2>"$scratch/err" | head -n 1 >/dev/null
        exit "${PIPESTATUS[1]}"
    )
    check "--batch | head -n 1 with SIGPIPE ignored" $? 3 'cannot write to standard output: Broken pipe$'
    ;;
read_error)
    "$calc" --batch <"$scratch" >/dev/null 2>"$scratch/err"
    check "--batch < directory" $? 3 '^moravik-calc: cannot read standard input: Is a directory$'
    "$calc" --batch "$scratch" >/dev/null 2>"$scratch/err"
    check "--batch directory" $? 3 "^moravik-calc: cannot read $scratch: Is a directory\$"
    "$calc" --batch "$scratch/none.jsonl" >/dev/null 2>"$scratch/err"
    check "--batch missing-file" $? 3 'cannot read .*/none\.jsonl: No such file or directory$'
    ;;
huge_line)
    # A 100 MB line under 80 MB (the libraries take some 55) is refused; the next is answered.
    limit=80000
    [ "$memory_limit" = --no-memory-limit ] && limit=unlimited
    {
        printf '{"njt":"'
        head -c 100000000 /dev/zero | tr '\0' 9
        printf '"}\n{"njt":".118"}\n'
    } | (
        ulimit -v "$limit"
        exec "$calc" --batch >"$scratch/out" 2>"$scratch/err"
    )
    check "a 100 MB --batch line under ulimit -v $limit" "${PIPESTATUS[1]}" 2 ''
    expected='{"error":"line 1: longer than 1048576 bytes, the limit of a line"}'
    [ "$(head -n 1 "$scratch/out")" = "$expected" ] || fail "line 1 is not $expected"
    grep -q '^{"fields":{"TextBox1":" .066",' <(sed -n 2p "$scratch/out") || fail "line 2 is not answered"
    ;;
interactive_batch)
    # An interactive caller waits for each line's answer before it writes more or closes stdin.
    coproc calc_process { "$calc" --batch 2>"$scratch/err"; }
    echo '{"njt":".118","jtn":"2"}' >&"${calc_process[1]}"
    if IFS= read -r -t 10 answer <&"${calc_process[0]}"; then
        grep -q '"Textbox5":" 82"' <<<"$answer" || fail "answer $answer"
    else
        fail "no answer within 10 s while standard input stays open"
    fi
    exec {calc_process[1]}>&-
    wait "$calc_process_PID"
    check "--batch answers a line before its input ends" $? 0 ''
    ;;
one_write_a_line)
    # Each line of standard error in one write(), which another run's line cannot split.
    command -v strace >/dev/null || { echo "FAIL: strace is not installed (scripts/setup.sh installs it)"; exit 1; }
    for arguments in "--weight 3,200 --hp 3x --json" "air --temperature x --pressure 29.9" \
        "--batch $scratch/none.jsonl"; do
        # shellcheck disable=SC2086 # the arguments are their words
        strace -f -s 4096 -e trace=write -o "$scratch/trace" "$calc" $arguments >/dev/null 2>&1
        pieces=$(grep -E '^[0-9]+ +write\(2, ' "$scratch/trace" |
            grep -cvE '^[0-9]+ +write\(2, "([^\\]|\\[^n])*\\n", [0-9]+\) += [0-9]+$')
        lines=$(grep -cE '^[0-9]+ +write\(2, ' "$scratch/trace")
        if [ "$lines" -gt 0 ] && [ "$pieces" -eq 0 ]; then
            echo "ok: $arguments: $lines lines, each in one write()"
        else
            fail "$arguments: $pieces of $lines writes to standard error are not one whole line"
            grep -E 'write\(2, ' "$scratch/trace"
        fi
    done
    ;;
*)
    echo "check_io.sh: unknown case $case_name" >&2
    exit 2
    ;;
esac
exit $((failures > 0))
