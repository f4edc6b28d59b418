#!/usr/bin/env bash
# The Windows program under wine in a real terminal (tmux): wine's console decodes keys (not
# mouse reports), so the prompts take typed answers with Backspace, and the closing screen
# ends on Enter, on Esc and on Alt+Q.
set -euo pipefail
program=$1
source "$(dirname "$0")/lib/setup.sh"
test_setup tmux
tmux_start 100 30
prefix="$(cd "$(dirname "$program")" && pwd)/wineprefix"

for way_out in Enter Escape M-q; do
    tmux_type "clear; cd $work; WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml= wine $program; echo END-\$?"
    tmux_wait_for "X axis:"
    tmux_cmd send-keys -t 0 1 2 BSpace 3
    tmux_wait_for "X axis: 13$"
    tmux_cmd send-keys -t 0 Enter - 8 Enter
    # Wine finds no printer behind CUPS_SERVER, whatever the machine's own print server
    # holds: no page, so no save question either.
    tmux_wait_for "will Exit Program"

    tmux_cmd send-keys -t 0 q F1
    tmux_cmd send-keys -t 0 "$way_out"
    tmux_wait_for "^END-"
    check_eq "$way_out ends the run with exit code 0" "END-0" "$(tmux_screen | grep -o 'END-[0-9]*')"
done

check_done
