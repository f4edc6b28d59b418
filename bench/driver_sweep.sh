#!/usr/bin/env bash
# The whole sweep of tests/driver_sweep.sh: every model that the print server offers from
# the printer drivers the project installs, made a queue in turn and checked against its own
# PPD. Prints how many of how many report their PPD's numbers and names every one that does
# not. It takes an hour or two; SWEEP_WORKERS print servers (default: one per processor)
# share the list. A PATTERN (grep -E) sweeps only the models whose names match it,
# SWEEP_LIST=FILE only the models named in FILE, one a line (a RESULTS file of an earlier
# sweep will do); and SWEEP_RESULTS=FILE keeps every model's result line there.
#   bench/driver_sweep.sh build/posix/virodaro [PATTERN]
set -euo pipefail
program=$(realpath "$1")
pattern=${2:-}
source "$(dirname "$0")/../tests/lib/setup.sh"
test_setup cups ppd_numbers driver_sweep

started=$SECONDS
sweep_start "$work"

if [[ -n ${SWEEP_LIST:-} ]]; then
    sed -E 's/^(right|wrong|skipped) //; s/: .*//' "$SWEEP_LIST" >"$work/models"
else
    sweep_models | grep -E -- "${pattern:-.}" >"$work/models" || true
fi
total=$(wc -l <"$work/models")
sweep_unpack "$work/drivers" "$work/models"
workers=${SWEEP_WORKERS:-$(nproc)}
echo "driver sweep: $total models, $workers print servers"
sweep_run "$program" "$work/models" "$work/results" "$workers"
[[ -z ${SWEEP_RESULTS:-} ]] || cp "$work/results" "$SWEEP_RESULTS"

right=$(grep -c '^right' "$work/results" || true)
skipped=$(grep -c '^skipped' "$work/results" || true)
echo
echo "driver sweep: $right of $((total - skipped)) models right ($skipped more skipped: no" \
    "queue, or no numbers in the PPD), in $(((SECONDS - started) / 60)) min"
if grep -q '^wrong' "$work/results"; then
    echo "wrong:"
    grep '^wrong' "$work/results" | sed 's/^wrong /  /'
fi
if ((skipped > 0)); then
    echo "skipped:"
    grep '^skipped' "$work/results" | sed 's/^skipped /  /'
fi
