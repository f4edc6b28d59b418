#!/usr/bin/env bash
# The POSIX program and the runtime's console output on a real terminal (tmux): the screens
# land where the console would put them, the runtime's model of the cursor matches the
# terminal's, and the terminal is handed back as it was found on every way out.
set -euo pipefail
program=$1
probe=$2
source "$(dirname "$0")/lib/setup.sh"
test_setup tmux
tmux_start 80 24

# Runs a command in the pane, waits for it to end, and records the terminal settings
# before and after.
run_in_pane() {
    local tag=$1; shift
    tmux_type "stty -g > $work/$tag.before; $*; stty -g > $work/$tag.after; echo END-$tag"
}
same_settings() { check_eq "$1: terminal settings as found" "$(cat "$work/$1.before")" "$(cat "$work/$1.after")"; }

# A whole run: after the prompts the second banner stands at the top of the cleared screen.
tmux_type "clear; seq 1 40"
tmux_wait_for '^40$'
run_in_pane run "cd $work; $program"
tmux_wait_for "X axis:"
tmux_cmd send-keys -t 0 Enter Enter
tmux_wait_for "Save setting"
tmux_cmd send-keys -t 0 Enter
tmux_wait_for "will Exit Program"
screen=$(tmux_screen)
tmux_cmd send-keys -t 0 Enter
tmux_wait_for "^END-run"

check_eq "banner at the top" $'\u2219 VIRODARO \u2219' "$(sed -n 1p <<<"$screen")"
check_eq "second purpose line" \
    "App will prepare paper lines for cutting into four sections making scrap paper" \
    "$(sed -n 2p <<<"$screen")"
same_settings run
check_eq "cursor shown after a run" 1 "$(tmux_query '#{cursor_flag}')"

# The cursor model against the terminal: standard-output text that wraps at the edge and
# scrolls the screen, then a cell written at the model's cursor lands right behind it.
line=$(printf 'x%.0s' $(seq 1 85))
tmux_type "clear; $probe 'out:$(printf 'r%.0s\\n' $(seq 1 30))$line' cells:@ where:$work/where cells:! wait"
tmux_wait_for 'xxxxx@!'
screen=$(tmux_screen)
check_eq "cells follow wrapped, scrolled standard output" "xxxxx@!" "$(grep -o 'x*@!' <<<"$screen")"
check_eq "model cursor is the terminal's" "7 24" "$(cat "$work/where")"
check_eq "the text's first 80 bytes fill row 23" "${line:0:80}" "$(sed -n 23p <<<"$screen")"
kill -TERM "$(tmux_foreground_pid)"
tmux_wait_for '^\$ *$'

# A cell write into the bottom-right cell does not scroll the terminal; the next write pays
# the scroll first.
tmux_type "clear; $probe locate:71,24 cells:corner-cel 'where:$work/corner' wait"
tmux_wait_for ' corner-cel$'
check_eq "bottom-right cell written without a scroll" "corner-cel" "$(tmux_screen | sed -n 24p | grep -o 'corner-cel')"
check_eq "cursor over the row just written" "1 24" "$(cat "$work/corner")"
kill -TERM "$(tmux_foreground_pid)"
tmux_wait_for '^\$ *$'
tmux_type "clear; $probe locate:71,24 cells:corner-cel cells:L wait"
tmux_wait_for '^L'
screen=$(tmux_screen)
check_eq "owed scroll paid by the next write" "corner-cel|L" "$(sed -n 23p <<<"$screen" | grep -o 'corner-cel')|$(sed -n 24p <<<"$screen")"
kill -TERM "$(tmux_foreground_pid)"
tmux_wait_for '^\$ *$'

# Ended by a signal while the cursor is reshaped and hidden: everything is handed back. The
# pane's raw output shows the shape being put back.
for signal in TERM HUP INT QUIT; do
    tmux_type "clear; stty -g > $work/$signal.before"
    # The last round's screen is gone only once that has run.
    tmux_wait_for_file "$work/$signal.before"
    tmux_cmd pipe-pane -t 0 -o "cat > $work/$signal.raw"
    tmux_type "$probe cursor:80 cursor:0 cells:waiting wait"
    # A long path wraps the typed command, which may put "waiting wait" at a line's start:
    # only the probe's own line holds the word alone.
    tmux_wait_for "^waiting$"
    check_eq "$signal: cursor hidden while running" 0 "$(tmux_query '#{cursor_flag}')"
    kill "-$signal" "$(tmux_foreground_pid)"
    tmux_type "stty -g > $work/$signal.after; echo END-$signal"
    tmux_wait_for "^END-$signal"
    tmux_cmd pipe-pane -t 0
    same_settings "$signal"
    check_eq "$signal: cursor shown again" 1 "$(tmux_query '#{cursor_flag}')"
    check_eq "$signal: block cursor asked, then the terminal's own shape" "1 q|0 q" \
        "$(grep -a -o $'\e\\[[0-9] q' "$work/$signal.raw" | tr -d '\033[' | paste -sd '|')"
done

# Stopped by SIGTSTP, the program hands the terminal back; continued by SIGCONT, its raw
# mode and hidden cursor come back. A non-interactive shell runs it, so that no job-control
# shell touches the terminal in between.
pane_tty=$(tmux_query '#{pane_tty}')
tmux_type "clear; stty -g > $work/stop.before; bash -c '$probe cursor:0 cells:stoppable wait; :'"
tmux_wait_for "^stoppable$"
# The probe is the child of the shell that the pane's shell started.
probe_pid=$(pgrep -n -P "$(tmux_foreground_pid)")

raw_settings=$(stty -g -F "$pane_tty")
kill -TSTP "$probe_pid"
wait_until() { local n=0; until eval "$1"; do ((++n < 100)) || return 1; sleep 0.05; done; }
wait_until "grep -q 'State:.*T' /proc/$probe_pid/status"
check_eq "stopped: terminal settings as found" "$(cat "$work/stop.before")" "$(stty -g -F "$pane_tty")"
check_eq "stopped: cursor shown" 1 "$(tmux_query '#{cursor_flag}')"
kill -CONT "$probe_pid"
wait_until '[[ "$(stty -g -F "$pane_tty")" == "$raw_settings" ]]' || true
check_eq "continued: raw mode again" "$raw_settings" "$(stty -g -F "$pane_tty")"
check_eq "continued: cursor hidden again" 0 "$(tmux_query '#{cursor_flag}')"
kill -TERM "$probe_pid"

check_done
