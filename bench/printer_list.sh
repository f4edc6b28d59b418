#!/usr/bin/env bash
# The first screen on a print server with many queues: a whole run without a terminal and
# without a settings file (it lists every printer, then prints the page), on a private print
# server with 2, 100 and 1,000 queues, against `lpstat -e` listing the same queues in the
# same run. Prints the median wall time of each and the ratio of each run to the 2-queue
# run; the goal is at most 3 for 1,000 queues, that is, growth with the number of queues
# rather than its square.
#   bench/printer_list.sh build/posix/virodaro
set -euo pipefail
program=$(realpath "$1")
source "$(dirname "$0")/../tests/lib/setup.sh"
test_setup cups
runs=${RUNS:-7}

# Real queues, made the quick way: lpadmin takes a second or more per queue with this many,
# so the server's own files (printers.conf and a PPD per queue) are written before it starts.
# They are cups-pdf's printer description with a null device: nothing is ever printed on
# them, but the server loads, lists and describes each as any other queue.
write_queues() {  # DIR COUNT
    local dir=$1 count=$2 i name
    mkdir -p "$dir/etc/ppd"
    for ((i = 1; i <= count; i++)); do
        name=$(printf 'bench-%04d' "$i")
        cp /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd "$dir/etc/ppd/$name.ppd"
        printf '<Printer %s>\nInfo Queue %d\nLocation Floor %d\nMakeModel Generic CUPS-PDF Printer\nDeviceURI file:///dev/null\nState Idle\nAccepting Yes\nShared No\n</Printer>\n' \
            "$name" "$i" $((i % 10))
    done >"$dir/etc/printers.conf"
}

now_ns() { date +%s%N; }
median() { sort -n | awk '{ v[NR] = $1 } END { printf "%.1f", v[int((NR + 1) / 2)] / 1e6 }'; }
# Median wall time of a command started as the benchmark starts the program: from a
# subshell in the run's directory, without a terminal. The page each run prints is converted
# by the server between the runs, not while the next one is timed.
time_ms() {
    local times=() i start
    for ((i = 0; i < runs; i++)); do
        start=$(now_ns)
        (cd "$work/run" && setsid -w "$@" </dev/null >/dev/null)
        times+=($(($(now_ns) - start)))
        cups_jobs_done
    done
    printf '%s\n' "${times[@]}" | median
}

declare -A ours theirs
for queues in 2 100 1000; do
    server="$work/cups-$queues"
    # cups_start adds its two cups-pdf queues (the default one among them) to these.
    write_queues "$server" $((queues - 2))
    CUPS_START_SECONDS=300 cups_start "$server"
    listed=$(lpstat -e | wc -l)
    ((listed == queues)) || { echo "the server lists $listed queues, not $queues" >&2; exit 1; }
    rm -rf "$work/run"
    mkdir -p "$work/run"
    # The run must show every queue; with no settings file it also prints the page each time.
    shown=$(cd "$work/run" && setsid -w "$program" </dev/null | tr -d '\r' | grep -c -e '^bench-' -e "^$CUPS_QUEUE" -e "^$CUPS_LANDSCAPE_QUEUE" || true)
    ((shown >= queues)) || { echo "the run showed $shown of $queues queues" >&2; exit 1; }
    cups_jobs_done
    ours[$queues]=$(time_ms "$program")
    theirs[$queues]=$(time_ms lpstat -e)
    cups_jobs_done
    cups_stop
done

printf '%-8s %14s %14s %16s %16s\n' queues "virodaro ms" "lpstat -e ms" "virodaro ratio" "lpstat ratio"
for queues in 2 100 1000; do
    awk -v n="$queues" -v a="${ours[$queues]}" -v b="${theirs[$queues]}" \
        -v a2="${ours[2]}" -v b2="${theirs[2]}" \
        'BEGIN { printf "%-8s %14.1f %14.1f %16.2f %16.2f\n", n, a, b, a / a2, b / b2 }'
done
awk -v a="${ours[1000]}" -v a2="${ours[2]}" \
    'BEGIN { printf "1,000 queues against 2 (goal at most 3): %.2f\n", a / a2 }'
