#!/usr/bin/env bash
# The POSIX program's keyboard and mouse on a real terminal (tmux): typed answers with
# Backspace, keys and sequences split across reads, every way out of the closing screen,
# the right button's command interpreter; and after each run the terminal is as it was found.
set -euo pipefail
program=$1
source "$(dirname "$0")/lib/setup.sh"
test_setup tmux
tmux_start 100 30

# Starts the program in an empty directory, with the terminal settings recorded around it.
start_run() {
    local tag=$1
    tmux_type "clear; cd $work; stty -g > $tag.before; COMSPEC='bash --norc --noprofile' $program; stty -g > $tag.after; echo END-$tag"
    tmux_wait_for "X axis:"
}
answer() { tmux_cmd send-keys -t 0 -l -- "$1"; tmux_cmd send-keys -t 0 Enter; }
at_closing_screen() { tmux_wait_for "will Exit Program"; }
finished() {
    local tag=$1
    tmux_wait_for "^END-$tag"
    check_eq "$tag: terminal settings as found" "$(cat "$work/$tag.before")" "$(cat "$work/$tag.after")"
    check_eq "$tag: cursor on, mouse reports off" "1 0 0" \
        "$(tmux_query '#{cursor_flag} #{mouse_any_flag} #{mouse_sgr_flag}')"
}
sgr_click() {  # BUTTON COLUMN ROW: a press and a release, as the terminal reports them
    tmux_cmd send-keys -t 0 -l $'\e'"[<$1;$2;$3M"
    tmux_cmd send-keys -t 0 -l $'\e'"[<$1;$2;$3m"
}

# Typed answers echo and Backspace erases; the closing screen reports the mouse; Alt+Q ends.
start_run altq
tmux_cmd send-keys -t 0 1 2 BSpace 3
tmux_wait_for "X axis: 13$"
tmux_cmd send-keys -t 0 Enter
tmux_wait_for "Y axis:$"
# An arrow key whose sequence arrives in two pieces is one key, ignored by line input.
tmux_cmd send-keys -t 0 -l $'\e['
sleep 0.05
tmux_cmd send-keys -t 0 -l 'A'
tmux_cmd send-keys -t 0 -l -- '-7'
tmux_wait_for "Y axis: -7$"
tmux_cmd send-keys -t 0 Enter
tmux_wait_for "Save setting (Y/N)"
answer n
at_closing_screen
check_eq "altq: closing screen reports the mouse" "1 1" "$(tmux_query '#{mouse_any_flag} #{mouse_sgr_flag}')"
tmux_cmd send-keys -t 0 M-q
finished altq

# Esc alone ends the closing screen (decided after the Esc wait).
start_run esc
answer ""; answer ""; answer ""
at_closing_screen
tmux_cmd send-keys -t 0 Escape
finished esc

# Enter ends it; other keys and a press do not.
start_run enter
answer ""; answer ""; answer ""
at_closing_screen
tmux_cmd send-keys -t 0 q F1 Up
tmux_cmd send-keys -t 0 -l $'\e[<0;10;10M'
sleep 0.2
check_eq "enter: still waiting after q, F1, Up and a press" "1" "$(tmux_screen | grep -c 'will Exit Program')"
tmux_cmd send-keys -t 0 Enter
finished enter

# A left click (press and release) ends it.
start_run click
answer ""; answer ""; answer ""
at_closing_screen
sgr_click 0 20 12
finished click

# A right click runs the command interpreter in the same terminal; leaving it ends the run.
start_run right
answer ""; answer ""; answer ""
at_closing_screen
sgr_click 2 20 12
tmux_wait_for '^\$ *$'
# The interpreter's own line editor sets the terminal as it likes, but it starts from the
# terminal as found: keys make signals again, and no mouse reports arrive.
check_eq "right: the interpreter gets the terminal as found" "isig 1 0 0" \
    "$(stty -a -F "$(tmux_query '#{pane_tty}')" | grep -ow -- '-\?isig') $(tmux_query '#{cursor_flag} #{mouse_any_flag} #{mouse_sgr_flag}')"

tmux_type "echo INSIDE-\$((6 * 7))"
tmux_wait_for "^INSIDE-42"
tmux_type "exit"
finished right

check_done
