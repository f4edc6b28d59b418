#!/usr/bin/env bash
# Builds the native (posix) preset and runs every benchmark program in bench/. Each prints
# Google Benchmark's table and then its ratios against the baseline it measured in the same
# run. Arguments go to every program, e.g. --benchmark_filter=NumToText.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset posix >/dev/null
cmake --build --preset posix
while IFS= read -r program; do
  echo "== $(basename "$program")"
  "$program" "$@"
done <build/posix/bench/programs.txt
echo "== closing_wait"
bash bench/closing_wait.sh build/posix/virodaro build/posix/bench/polling_wait
echo "== print_latency"
bash bench/print_latency.sh build/posix/virodaro build/posix/bench
echo "== instructions"
bash bench/instructions.sh build/posix/virodaro
echo "== printer_list"
bash bench/printer_list.sh build/posix/virodaro
