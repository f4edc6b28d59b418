#!/usr/bin/env bash
# Thousands of the hostile print server's cases (tests/hostile_print_server.sh runs a few
# hundred): the sanitized program against a private cupsd behind
# tests/tools/hostile_print_server.py, each case in a terminal and without one. Prints each
# failing case with the command that repeats it, then a summary: the cases, how many
# passed, the failures by reason and by kind of case, and the time it took. Not part of
# scripts/bench.sh: on two processors the default 2,200 cases take about 14 minutes (the
# answers that never end cost a minute each, many at a time), and over an hour with a
# program that hangs on them and spins on huge PPDs until its bounds end it.
#   bench/hostile_print_server.sh PROGRAM PTY_SESSION [COUNT] [SEED]
set -euo pipefail
program=$(realpath "$1")
session=$(realpath "$2")
count=${3:-2200}
seed=${4:-$(((RANDOM << 15 | RANDOM) + 1))}
source "$(dirname "$0")/../tests/lib/setup.sh"
test_setup cups ppd_numbers driver_sweep hostile_cases
on_exit hostile_stop
trap 'exit 130' INT TERM

started=$SECONDS
echo "hostile print server: seed $seed, $count cases"
hostile_start "$work" "$seed"
hostile_all "$program" "$session" 0 "$count" "$seed" | grep -v '^ok case' || true
seconds=$((SECONDS - started))

results="$HOSTILE_WORK/results"
passed=$(cat "$results"/*.line 2>/dev/null | grep -c '^ok case' || true)
echo
echo "== $count cases (seed $seed): $passed passed, $((count - passed)) failed, in $seconds s"
echo "== failed cases by reason (a case may fail for more than one):"
cat "$results"/*.reasons 2>/dev/null | sed 's/^ended before .*/ended before the closing screen/' |
    sort | uniq -c | sort -rn | sed 's/^/  /'
echo "== by kind of case: failed of run"
for line in "$results"/*.line; do
    family=$(head -1 "$line" | grep -o 'family=[^ ]*' | cut -d= -f2)
    verdict=$(head -1 "$line" | cut -d' ' -f1)
    echo "$family $verdict"
done | awk '{ run[$1]++; if ($2 == "FAIL") failed[$1]++ }
    END { for (f in run) printf "  %-16s %4d of %4d\n", f, failed[f], run[f] }' | sort
