#!/usr/bin/env bash
# The number sweep on two processors with one seed, compared block by block: the x86-64
# build's sweep (which also holds its integer arithmetic to the x87's results, case by case)
# against another processor's: arm64 under qemu-user, which has only the integer arithmetic,
# or i386, whose sweep holds its x87 to its integers too. They must agree bit for bit. When a block differs, the first case that differs
# is shown with the seed, so it can be repeated.
# Usage: number_sweep.sh BLOCKS NATIVE_SWEEP OTHER_SWEEP_COMMAND...
#   e.g. number_sweep.sh 64 build/posix/src/number_sweep qemu-aarch64 build/arm64/src/number_sweep
# VIRODARO_SWEEP_SEED chooses the seed; otherwise it is random.
set -euo pipefail
blocks=$1 native=$2
shift 2
seed=${VIRODARO_SWEEP_SEED:-$(od -An -N8 -tu8 /dev/urandom | tr -d ' ')}
source "$(dirname "$0")/lib/setup.sh"
test_setup

echo "number sweep on two processors: seed $seed, $blocks blocks"
"$native" --seed="$seed" --blocks="$blocks" --digests >"$work/native"
"$@" --seed="$seed" --blocks="$blocks" --digests >"$work/other"
grep '^block ' "$work/native" >"$work/native.blocks"
grep '^block ' "$work/other" >"$work/other.blocks"
if [[ $(wc -l <"$work/native.blocks") -ne $blocks ]] || ! cmp -s "$work/native.blocks" "$work/other.blocks"; then
    block=$( (diff "$work/native.blocks" "$work/other.blocks" || true) | sed -n 's/^[<>] block \([0-9]*\) .*/\1/p' | head -1)
    echo "FAIL: the processors differ in block ${block:-?} (seed $seed); the first case that differs:"
    if [[ -n $block ]]; then
        "$native" --seed="$seed" --dump="$block" >"$work/native.dump"
        "$@" --seed="$seed" --dump="$block" >"$work/other.dump"
        diff "$work/native.dump" "$work/other.dump" | head -4 || true
    fi
    exit 1
fi
tail -1 "$work/native"
tail -1 "$work/other"
echo "ok: both processors give the same results, bit for bit"
