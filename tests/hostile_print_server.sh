#!/usr/bin/env bash
# The sanitized POSIX program against print servers as they are on real networks: a proxy of
# the test's own in front of a private cupsd (tools/hostile_print_server.py) that answers
# each request with the real server's answer and exactly one thing wrong with it, chosen by
# the case number and the seed (lib/hostile_cases.sh says what a case does and when it
# passes). Each case runs in a terminal and without one. The seed is printed first; a
# failing case prints the command that repeats it alone. bench/hostile_print_server.sh runs
# thousands of cases. HOSTILE_KEEP=DIR keeps the cases' files there.
#   tests/hostile_print_server.sh PROGRAM PTY_SESSION [COUNT] [SEED] [FIRST]
set -euo pipefail
program=$(realpath "$1")
session=$(realpath "$2")
count=${3:-220}
seed=${4:-$(((RANDOM << 15 | RANDOM) + 1))}
first=${5:-0}
source "$(dirname "$0")/lib/setup.sh"
test_setup cups ppd_numbers driver_sweep hostile_cases
on_exit hostile_stop
# A signal ends the script through its exit, which stops every case.
trap 'exit 130' INT TERM

started=$SECONDS
echo "hostile print server: seed $seed, cases $first to $((first + count - 1))"
hostile_start "$work" "$seed"
hostile_all "$program" "$session" "$first" "$count" "$seed"
passed=$(cat "$HOSTILE_WORK/results"/*.line 2>/dev/null | grep -c '^ok case' || true)
echo "hostile print server: $passed of $count cases passed in $((SECONDS - started)) s (seed $seed)"
check_eq "every case ends normally, within its bound, with a report" "$count" "$passed"
check_done
