#!/usr/bin/env bash
# Start to job handed over, as a user feels it: a run with a settings file and no terminal
# against `lp` handing the PDF of the same page to the same queue, interleaved, on a private
# print server reached directly (its socket) and through a relay on the loopback interface
# that holds every piece of data 20 ms each way, as a distant server would. Prints, for
# each, the medians and their ratio, the processor time and peak memory as ratios to lp's,
# and the requests each made, counted in the server's access log.
#   bench/print_latency.sh build/posix/virodaro build/posix/bench
set -euo pipefail
program=$(realpath "$1")
tools=$(realpath "$2")
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../tests/lib/cups.sh"
runs=${RUNS:-21}
delay_ms=20
relay_port=${RELAY_PORT:-46310}

work=$(mktemp -d)
chmod 0755 "$work"
relay_pid=""
trap '[[ -n $relay_pid ]] && kill "$relay_pid" 2>/dev/null; cups_stop; rm -rf "$work"' EXIT
CUPS_ACCESS_LOG_LEVEL=all cups_start "$work/cups"
local_server=$CUPS_SERVER
mkdir -p "$work/run" "$work/file"
printf '10\r\n-20\r\n' >"$work/run/VIRODARO.CFG"
cp "$work/run/VIRODARO.CFG" "$work/file/"
# The page as the program sends it: without a print server it goes to the PDF file
# destination, which writes exactly the document a server would get.
(cd "$work/file" && CUPS_SERVER="$work/none.sock" setsid -w "$program" </dev/null >/dev/null)
page=$(ls "$work/file"/*.pdf)

"$tools/delay_relay" "$relay_port" "$local_server" "$delay_ms" 3600 >"$work/relay.log" &
relay_pid=$!
until grep -q listening "$work/relay.log"; do sleep 0.1; done
distant_server="127.0.0.1:$relay_port"

# One run of either, from a subshell in the directory without a terminal: "WALL_NS USER_US
# SYSTEM_US PEAK_KB".
measure() {
    (cd "$work/run" && "$tools/run_measured" setsid -w "$@" </dev/null 2>&1 >/dev/null | tail -1)
}
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
column() { awk -v c="$1" '{ print $c }' "$2" | median; }

# The requests one run makes, as the server's access log counts them.
requests() {
    : >"$work/cups/log/access_log"
    (cd "$work/run" && setsid -w "$@" </dev/null >/dev/null 2>&1)
    grep -c . "$work/cups/log/access_log" || true
}

compare() {  # NAME SERVER
    local name=$1 i
    export CUPS_SERVER=$2
    : >"$work/ours" && : >"$work/theirs"
    for ((i = 0; i < runs; i++)); do
        measure "$program" >>"$work/ours"
        measure lp -d "$CUPS_QUEUE" -t lp "$page" >>"$work/theirs"
    done
    local wall_ours wall_lp cpu_ours cpu_lp peak_ours peak_lp
    wall_ours=$(column 1 "$work/ours")
    wall_lp=$(column 1 "$work/theirs")
    cpu_ours=$(awk '{ print $2 + $3 }' "$work/ours" | median)
    cpu_lp=$(awk '{ print $2 + $3 }' "$work/theirs" | median)
    peak_ours=$(column 4 "$work/ours")
    peak_lp=$(column 4 "$work/theirs")
    awk -v n="$name" -v wo="$wall_ours" -v wl="$wall_lp" -v co="$cpu_ours" -v cl="$cpu_lp" \
        -v po="$peak_ours" -v pl="$peak_lp" -v runs="$runs" 'BEGIN {
        printf "%s, start to job (median of %d): virodaro %.1f ms, lp %.1f ms, ratio %.2f\n", n, runs, wo / 1e6, wl / 1e6, wo / wl
        printf "%s, processor time: virodaro %.1f ms, lp %.1f ms, ratio %.2f\n", n, co / 1e3, cl / 1e3, co / cl
        printf "%s, peak memory: virodaro %d KB, lp %d KB, ratio %.2f\n", n, po, pl, po / pl
    }'
    echo "$name, requests: virodaro $(requests "$program"), lp $(requests lp -d "$CUPS_QUEUE" -t lp "$page")"
    cups_jobs_done
}

compare "local server" "$local_server"
compare "server 20 ms away" "$distant_server"
