#!/usr/bin/env bash
# A run with a settings file and no terminal, as a script or a service would start it,
# against `lp` handing the same page to the same private print server, in the same run:
# wall time from start to the job handed over (median of several runs each), the size of
# the job the program sends, and the program's peak memory.
#   bench/print_run.sh build/posix/virodaro
set -euo pipefail
program=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../tests/lib/cups.sh"
runs=${RUNS:-15}

work=$(mktemp -d)
chmod 0755 "$work"
trap 'cups_stop; rm -rf "$work"' EXIT
cups_start "$work/cups"
mkdir -p "$work/run" "$work/file" "$work/aligning"
printf '10\r\n-20\r\n' >"$work/run/VIRODARO.CFG"
cp "$work/run/VIRODARO.CFG" "$work/file/"
# A reset pair: the page of an aligning run, with its circles and caption.
printf '0\r\n0\r\n' >"$work/aligning/VIRODARO.CFG"

# The pages as the program sends them: without a print server they go to the PDF file
# destination, which writes exactly the document a server would get.
for dir in file aligning; do
    (cd "$work/$dir" && CUPS_SERVER="$work/none.sock" setsid -w "$program" </dev/null >/dev/null)
done
page=$(ls "$work/file"/*.pdf)
aligning_page=$(ls "$work/aligning"/*.pdf)

now_ns() { date +%s%N; }
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
ours=()
theirs=()
for ((i = 0; i < runs; i++)); do
    start=$(now_ns)
    (cd "$work/run" && setsid -w "$program" </dev/null >/dev/null)
    ours+=($(($(now_ns) - start)))
    # Started the same way: from a subshell in the directory, without a terminal.
    start=$(now_ns)
    (cd "$work/run" && setsid -w lp -d "$CUPS_QUEUE" -t "lp" "$page" </dev/null >/dev/null)
    theirs+=($(($(now_ns) - start)))

done
cups_jobs_done
ours_ms=$(printf '%s\n' "${ours[@]}" | median | awk '{ printf "%.1f", $1 / 1e6 }')
lp_ms=$(printf '%s\n' "${theirs[@]}" | median | awk '{ printf "%.1f", $1 / 1e6 }')
peak_kb=$(cd "$work/run" && /usr/bin/time -f %M setsid -w "$program" </dev/null 2>&1 >/dev/null | tail -1)

echo "start to job handed over, virodaro: ${ours_ms} ms (median of $runs)"
echo "start to job handed over, lp:       ${lp_ms} ms (median of $runs)"
awk -v a="$ours_ms" -v b="$lp_ms" 'BEGIN { printf "ratio (goal at most 1.5):           %.2f\n", a / b }'
echo "job size: $(stat -c %s "$page") bytes; with circles and caption $(stat -c %s "$aligning_page") bytes (goal at most 16384)"

echo "peak memory: ${peak_kb} KB (goal at most 16384)"
