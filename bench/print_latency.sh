#!/usr/bin/env bash
# Start to job handed over, as a user feels it: a run with a settings file and no terminal
# against `lp` handing the PDF of the same page to the same queue, interleaved, on a private
# print server reached directly (its socket) and through a relay on the loopback interface
# that holds every piece of data 20 ms each way, as a distant server would. Prints, for
# each, the medians and their ratio, the processor time and peak memory as ratios to lp's,
# and the requests each made, counted in the server's access log; then the size of the jobs
# the program sends.
#   bench/print_latency.sh build/posix/virodaro build/posix/bench
set -euo pipefail
program=$(realpath "$1")
tools=$(realpath "$2")
source "$(dirname "$0")/../tests/lib/setup.sh"
test_setup cups
runs=${RUNS:-21}
delay_ms=20
relay_port=${RELAY_PORT:-46310}
# The relay gives up after this, whatever happens to this script.
relay_seconds=3600

relay_pid=""
on_exit '[[ -z $relay_pid ]] || kill "$relay_pid" 2>/dev/null'
CUPS_ACCESS_LOG_LEVEL=all cups_start "$work/cups"
local_server=$CUPS_SERVER
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

"$tools/delay_relay" "$relay_port" "$local_server" "$delay_ms" "$relay_seconds" \
    >"$work/relay.log" &
relay_pid=$!
until grep -q listening "$work/relay.log"; do sleep 0.1; done
distant_server="127.0.0.1:$relay_port"

# One run of either, from a subshell in the directory without a terminal: "WALL_NS USER_US
# SYSTEM_US PEAK_KB".
measure() {
    (cd "$work/run" && "$tools/run_measured" setsid -w "$@" </dev/null 2>&1 >/dev/null | tail -1)
}
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
medians() {  # FILE of measure lines: "WALL_NS CPU_US PEAK_KB"
    local wall cpu peak
    wall=$(awk '{ print $1 }' "$1" | median)
    cpu=$(awk '{ print $2 + $3 }' "$1" | median)
    peak=$(awk '{ print $4 }' "$1" | median)
    echo "$wall $cpu $peak"
}

# The requests one run makes, as the server's access log counts them.
requests() {
    : >"$work/cups/log/access_log"
    (cd "$work/run" && setsid -w "$@" </dev/null >/dev/null 2>&1)
    grep -c . "$work/cups/log/access_log" || true
}

compare() {  # NAME SERVER
    local name=$1 i
    export CUPS_SERVER=$2
    : >"$work/ours"
    : >"$work/theirs"
    # Each run starts with the server idle, as a user's does: the print filters of the job
    # before would otherwise take the processors from the run measured.
    for ((i = 0; i < runs; i++)); do
        cups_jobs_done
        measure "$program" >>"$work/ours"
        cups_jobs_done
        measure lp -d "$CUPS_QUEUE" -t lp "$page" >>"$work/theirs"
    done
    # The medians of the wall time, the processor time (user and system) and the peak.
    local ours lp
    ours=$(medians "$work/ours")
    lp=$(medians "$work/theirs")
    awk -v n="$name" -v runs="$runs" -v ours="$ours" -v lp="$lp" 'BEGIN {
        split(ours, o); split(lp, l)
        printf "%s, start to job (medians of %d): virodaro %.1f ms, lp %.1f ms, ratio %.2f\n",
            n, runs, o[1] / 1e6, l[1] / 1e6, o[1] / l[1]
        printf "%s, processor time: virodaro %.1f ms, lp %.1f ms, ratio %.2f\n",
            n, o[2] / 1e3, l[2] / 1e3, o[2] / l[2]
        printf "%s, peak memory: virodaro %d KB, lp %d KB, ratio %.2f\n", n, o[3], l[3], o[3] / l[3]
    }'
    echo "$name, requests: virodaro $(requests "$program")," \
        "lp $(requests lp -d "$CUPS_QUEUE" -t lp "$page")"
    cups_jobs_done
}

compare "local server" "$local_server"
compare "server 20 ms away" "$distant_server"
echo "job size: $(stat -c %s "$page") bytes; with circles and caption" \
    "$(stat -c %s "$aligning_page") bytes"
