#!/usr/bin/env bash
# The POSIX program against a print server that answers every question late, 5 s and 10 s:
# later than the program's notice, sooner than it gives up. The server is a private cupsd
# with its cups-pdf queues, behind tools/hostile_print_server.py holding each answer back.
# In a terminal, the program names the server as still silent and keeps waiting, and the
# page reaches the real queue; a user who presses Esc at that notice stops the wait, and the
# page goes to the "PDF file" destination, which the report names. Without a terminal, the
# page reaches the queue too.
#   tests/slow_print_server.sh PROGRAM PTY_SESSION
set -euo pipefail
program=$(realpath "$1")
session=$(realpath "$2")
source "$(dirname "$0")/lib/setup.sh"
test_setup cups
tool="$here/tools/hostile_print_server.py"
proxies=()
on_exit 'for pid in "${proxies[@]}"; do kill "$pid" 2>/dev/null; done'
trap 'exit 130' INT TERM
cups_start "$work/cups"
export TERM=xterm LANG=C.UTF-8 HOME="$work"
unset LC_ALL PRINTER LPDEST
queues=$(lpstat -e)

# A server of its own for run NAME, answering every question SECONDS late, at
# $work/NAME/server.sock.
slow_server() {  # NAME SECONDS
    local dir="$work/$1"
    mkdir -p "$dir"
    /usr/bin/python3 "$tool" serve --delay "$2" --upstream "$CUPS_SERVER" --listen "$dir/server.sock" \
        --report "$dir/requests" --log "$dir/server.log" --lifetime 200 >"$dir/listening" &
    proxies+=($!)
    local i
    for ((i = 0; i < 100; ++i)); do
        grep -q '^listening' "$dir/listening" 2>/dev/null && break
        sleep 0.1
    done
}

# Runs the program in a terminal in directory NAME against the server at SOCKET, with the
# script's steps before the prompts' answers (keys pressed at the notice).
terminal_run() {  # NAME SOCKET [STEP...]
    local dir="$work/$1" server=$2 status=0
    shift 2
    {
        # A notice to press Esc at comes within seconds, or not at all.
        if (($# > 0)); then echo "deadline 60"; else echo "deadline 150"; fi
        local step
        for step in "$@"; do echo "$step"; done
        printf 'wait X axis: \nsend 12\\r\nwait Y axis: \nsend -8\\r\nwhen (Y/N)\tn\\r\nwait Exit Program\nsend \\r\n'
    } >"$dir/script"
    (cd "$dir" && CUPS_SERVER=$server "$session" "$dir/screen" "$dir/script" "$program") \
        2>"$dir/session.err" || status=$?
    echo "$status" >"$dir/status"
}

# The same without a terminal, with a settings file.
unattended_run() {  # NAME SOCKET
    local dir="$work/$1" status=0
    printf '12\r\n-8\r\n' >"$dir/VIRODARO.CFG"
    (cd "$dir" && CUPS_SERVER=$2 timeout -k 5 150 setsid "$program" </dev/null >"$dir/screen" \
        2>"$dir/errors") || status=$?
    echo "$status" >"$dir/status"
}

slow_server late5 5
slow_server late10 10
slow_server stopped 5
slow_server unattended 5
# Each run has its own server in front of the same queues, so they run side by side.
runs=()
terminal_run late5 "$work/late5/server.sock" &
runs+=($!)
terminal_run late10 "$work/late10/server.sock" &
runs+=($!)
terminal_run stopped "$work/stopped/server.sock" 'wait press Esc to stop waiting' 'send \x1b' &
runs+=($!)
unattended_run unattended "$work/unattended/server.sock" &
runs+=($!)
wait "${runs[@]}"
cups_jobs_done

# The screen with the terminal's wraps taken out: it is 80 columns wide.
screen() { tr -d '\r\n' <"$work/$1/screen"; }
printed_on() { screen "$1" | grep -ao '  Printer = [^ ]*' | head -1 | cut -c13-; }
notice() { echo " ....The print server $1 has not answered yet; press Esc to stop waiting."; }

for run in late5 late10; do
    socket="$work/$run/server.sock"
    check_eq "$run: ends normally" 0 "$(cat "$work/$run/status")"
    check_eq "$run: names the server that has not answered yet" 1 \
        "$(screen "$run" | grep -acF "$(notice "$socket")" || true)"
    check_eq "$run: the report names a queue of the server" yes \
        "$(grep -qxF "$(printed_on "$run")" <<<"$queues" && echo yes || echo "no: $(printed_on "$run")")"
    check_eq "$run: does not take the server for a silent one" 0 \
        "$(screen "$run" | grep -acF "The print server $socket did not answer" || true)"
    check_eq "$run: the job went to the server" 1 \
        "$(grep -ao 'print-job=[0-9]*' "$work/$run/requests" | cut -d= -f2)"
    check_eq "$run: no PDF file instead" "" "$(cd "$work/$run" && ls ./*.pdf 2>/dev/null)"
done

socket="$work/stopped/server.sock"
check_eq "Esc at the notice: ends normally" 0 "$(cat "$work/stopped/status")"
check_eq "Esc at the notice: the notice was there to press it at" 1 \
    "$(screen stopped | grep -acF "$(notice "$socket")" || true)"
pdf=$(cd "$work/stopped" && ls ./*.pdf 2>/dev/null | head -1 || true)
check_eq "Esc at the notice: the page went to a PDF file" yes "$([[ -s $work/stopped/$pdf ]] && echo yes || echo no)"
check_eq "Esc at the notice: the report names the file" 1 \
    "$(screen stopped | grep -acF " ....The print server $socket did not answer: the page went to the file \"${pdf#./}\"." || true)"
check_eq "Esc at the notice: no job went to the server" 0 \
    "$(grep -ao 'print-job=[0-9]*' "$work/stopped/requests" | cut -d= -f2 || echo 0)"

check_eq "no terminal: ends normally" 0 "$(cat "$work/unattended/status")"
check_eq "no terminal: the report names a queue of the server" yes \
    "$(grep -qxF "$(printed_on unattended)" <<<"$queues" && echo yes || echo "no: $(printed_on unattended)")"
check_eq "no terminal: the job went to the server" 1 \
    "$(grep -ao 'print-job=[0-9]*' "$work/unattended/requests" | cut -d= -f2)"
check_eq "no terminal: no PDF file instead" "" "$(cd "$work/unattended" && ls ./*.pdf 2>/dev/null)"

# Three pages reached the real queue, and cups-pdf made a PDF of each.
check_eq "the server took the three pages" 3 "$(cups_job_count)"
check_eq "cups-pdf made the three pages" 3 "$(find "$CUPS_OUT" -name '*.pdf' | wc -l)"

check_done
