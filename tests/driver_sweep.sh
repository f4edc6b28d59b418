#!/usr/bin/env bash
# The POSIX program's report on queues made from a sample of the printer drivers that the
# project installs (the server's own samples, the compressed foomatic and OpenPrinting PPDs,
# HP's hpcups and PostScript PPDs, Gutenprint and the other free drivers), each checked
# against its own PPD as the server holds it (lib/driver_sweep.sh). The sample is picked by a
# seed, printed first; SWEEP_SEED=N picks the same models again. SWEEP_WORKERS print
# servers (default: one per processor) share the sample. bench/driver_sweep.sh checks every
# model.
#   tests/driver_sweep.sh POSIX_PROGRAM [COUNT]
set -euo pipefail
program=$(realpath "$1")
count=${2:-300}
source "$(dirname "$0")/lib/setup.sh"
test_setup cups ppd_numbers driver_sweep

started=$SECONDS
sweep_start "$work"

sweep_models >"$work/models"
# The drivers the project installs must be there, or the sweep would check little.
for driver in foomatic-db-compressed-ppds: drv:///hpcups.drv/ gutenprint openprinting-ppds:; do
    check_eq "the server offers models of $driver" yes \
        "$(grep -q "^$driver" "$work/models" && echo yes || echo no)"
done
seed=${SWEEP_SEED:-$(((RANDOM << 15 | RANDOM) + 1))}
echo "driver sweep: seed $seed, $count of $(wc -l <"$work/models") models (SWEEP_SEED=$seed repeats it)"

sweep_sample "$seed" "$count" <"$work/models" >"$work/sample"
sweep_unpack "$work/drivers" "$work/sample"
sweep_run "$program" "$work/sample" "$work/results" "${SWEEP_WORKERS:-$(nproc)}"
while IFS= read -r result; do
    model=${result#* }
    model=${model%%: *}
    [[ $result == wrong* ]] && check_eq "$model reports its PPD's numbers" "right $model" "$result"
done <"$work/results"
right=$(grep -c '^right' "$work/results" || true)
skipped=$(grep -c '^skipped' "$work/results" || true)
echo "driver sweep: $right of $((count - skipped)) right ($skipped skipped: no queue, or no" \
    "numbers in the PPD), in $((SECONDS - started)) s"
# A driver that makes no queue is the driver's fault, but a sweep that skips many checks few.
check_eq "at most one sampled model in 20 is skipped" yes \
    "$( ((skipped * 20 <= count)) && echo yes || echo no)"
check_done
