#!/usr/bin/env bash
# Processor time the closing screen uses while it waits 3 seconds for a key, against a loop
# that sleeps 1 ms and peeks at the console input (what polling costs), measured in the same
# run on the same terminal (tmux). Prints both and their ratio.
#   bench/closing_wait.sh build/posix/virodaro build/posix/bench/polling_wait
set -euo pipefail
program=$(realpath "$1")
polling=$(realpath "$2")
source "$(dirname "$0")/../tests/lib/setup.sh"
test_setup tmux
tmux_start 100 30

# Nanoseconds of processor time the process used (from the scheduler's own account).
cpu_ns() { cut -d' ' -f1 "/proc/$1/schedstat"; }
measure() {  # PID: processor time over 3 seconds of waiting, in microseconds
    local before after
    before=$(cpu_ns "$1")
    sleep 3
    after=$(cpu_ns "$1")
    echo $(((after - before) / 1000))
}

tmux_type "cd $work; $program"
tmux_wait_for "X axis:"
tmux_cmd send-keys -t 0 Enter Enter
tmux_wait_for "Save setting"
tmux_cmd send-keys -t 0 Enter
tmux_wait_for "will Exit Program"
waiting=$(measure "$(tmux_foreground_pid)")
tmux_cmd send-keys -t 0 Enter
tmux_wait_for '^\$ *$'

tmux_type "clear; $polling"
sleep 0.5
polling_us=$(measure "$(tmux_foreground_pid)")
tmux_cmd send-keys -t 0 Enter

echo "closing screen, 3 s waiting:     ${waiting} us of processor time"
echo "1 ms sleep-and-peek, 3 s:        ${polling_us} us of processor time"
awk -v a="$waiting" -v b="$polling_us" 'BEGIN { printf "ratio (goal below 0.05):         %.4f\n", a / b }'
