#!/usr/bin/env bash
# The POSIX program in a terminal under conditions a user does not choose: a limit on the
# processes it may start (no thread for its font set-up), limits on its memory, and a print
# server that takes the connection and never answers. Each run ends normally (exit 0, no
# abort, the terminal handed back as it was) and says what became of the page: printed, or
# why not, or where it went instead of the silent server.
set -euo pipefail
program=$1
session=$2
silent_server=$3
source "$(dirname "$0")/lib/setup.sh"
test_setup
server_pid=""
on_exit '[[ -z $server_pid ]] || kill "$server_pid" 2>/dev/null'
chmod 755 "$work"
cp "$program" "$work/virodaro"
cp "$session" "$work/pty_session"
program="$work/virodaro"
session="$work/pty_session"
export TERM=xterm LANG=C.UTF-8
unset LC_ALL

report='Printer = PDF file'
no_page=' ....No page printed: '

# Runs COMMAND... on a new terminal in a new directory $1 holding a settings file, ends the
# closing screen, and says whether the terminal's settings came back as they were.
run_limited() {
    local dir=$1
    shift
    mkdir -p "$dir"
    chmod 777 "$dir"
    printf '12\r\n-8\r\n' >"$dir/VIRODARO.CFG"
    printf 'wait Exit Program\nsend \\r\nwait STATUS\n' >"$work/script"
    (cd "$dir" && "$session" "$dir.out" "$work/script" bash -c \
        'before=$(stty -g); "$@"; status=$?; [[ $(stty -g) == "$before" ]] && echo KEPT; echo STATUS $status' \
        limited "$@") >/dev/null 2>&1 || true
}

# One process at most for the unprivileged user: the program itself, and no thread.
run_limited "$work/nproc" prlimit --nproc=1 setpriv --reuid=nobody --regid=nogroup \
    --clear-groups -- "$program"
check_eq "no thread to be had: ends normally" 1 "$(grep -ac 'STATUS 0' "$work/nproc.out")"
check_eq "no thread to be had: the page is printed and reported" 1 \
    "$(grep -ac "$report" "$work/nproc.out")"
check_eq "no thread to be had: the terminal handed back" 1 "$(grep -ac KEPT "$work/nproc.out")"

# Address-space limits from where the program's libraries just load to where it prints.
for kilobytes in 34000 40000 48000 60000; do
    run_limited "$work/memory-$kilobytes" prlimit --as=$((kilobytes * 1024)) "$program"
    out="$work/memory-$kilobytes.out"
    check_eq "memory limit $kilobytes kB: ends normally" 1 "$(grep -ac 'STATUS 0' "$out")"
    check_eq "memory limit $kilobytes kB: the page printed, or why not" 1 \
        "$(grep -acE "$report|$no_page" "$out")"
    check_eq "memory limit $kilobytes kB: no C++ exception or crash" 0 \
        "$(grep -acE 'terminate called|Segmentation|Aborted' "$out")"
    check_eq "memory limit $kilobytes kB: the terminal handed back" 1 "$(grep -ac KEPT "$out")"
done

# A print server that takes every connection and never answers, stopped waiting for with Esc.
"$silent_server" "$work/silent.sock" 120 >"$work/silent.log" &
server_pid=$!
until grep -q listening "$work/silent.log"; do sleep 0.1; done
export CUPS_SERVER="$work/silent.sock"
dir="$work/silent"
mkdir "$dir"
# The wait is named after a few seconds; Esc stops it, and the server counts as silent.
printf 'wait has not answered\nsend \\x1b\nwait does not answer.\nwait X axis: \nsend 1\\r\nwait Y axis: \nsend 2\\r\nwait (Y/N)\nsend n\\r\nwait Exit Program\nsend \\r\n' >"$work/script"
started=$SECONDS
status=0
(cd "$dir" && "$session" "$dir.out" "$work/script" "$program") || status=$?
echo "silent print server: $((SECONDS - started)) s for the whole run"
check_eq "silent print server: ends normally" 0 "$status"
# The terminal is 80 columns wide: the lines are read with the terminal's wraps taken out.
screen=$(tr -d '\r\n' <"$dir.out")
check_eq "silent print server: the wait named, with the key that stops it" 1 \
    "$(grep -acF " ....The print server $CUPS_SERVER has not answered yet; press Esc to stop waiting." <<<"$screen")"
check_eq "silent print server: named where the printers are listed" 1 \
    "$(grep -acF " ....The print server $CUPS_SERVER does not answer." <<<"$screen")"
pdf=$(cd "$dir" && ls ./*.pdf 2>/dev/null | head -1)
check_eq "silent print server: the page went to a PDF file" 1 "$([[ -s "$dir/$pdf" ]] && echo 1)"
check_eq "silent print server: the report names the file" 1 \
    "$(grep -acF " ....The print server $CUPS_SERVER did not answer: the page went to the file \"${pdf#./}\"." <<<"$screen")"

check_done
