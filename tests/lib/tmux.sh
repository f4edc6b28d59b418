# Helpers for tests that drive a program in a real terminal: a tmux server of the test's
# own (its own socket, no configuration), one pane running a plain shell. The pane's
# programs see only a few variables, CUPS_SERVER among them: the caller must point it at a
# print server of the test's own (cups.sh) or at none (no_print_server.sh) first.
#
#   tmux_start WIDTH HEIGHT      start the server and the pane
#   tmux_type TEXT               type TEXT and Enter into the pane's shell
#   tmux_wait_for PATTERN        wait until the pane shows PATTERN (fails after 20 s)
#   tmux_wait_for_file FILE      wait until FILE is written (fails after 20 s)
#   tmux_screen                  print the pane's visible rows
#   tmux_query FORMAT            print a tmux format for the pane (#{cursor_x} ...)
#   tmux_stop                    end the server (the caller's EXIT trap should run it,
#                                beside whatever else the script cleans up)

TMUX_SOCKET="virodaro-test-$$"

tmux_cmd() { tmux -L "$TMUX_SOCKET" -f /dev/null "$@"; }

tmux_start() {
    local cups="CUPS_SERVER=${CUPS_SERVER:?tmux_start needs CUPS_SERVER}"
    tmux_cmd new-session -d -x "$1" -y "$2" \
        "env -i PATH=$PATH HOME=$HOME TERM=xterm-256color LANG=C.UTF-8 $cups PS1='$ ' bash --norc --noprofile"
    tmux_wait_for '^\$'
}

tmux_stop() { tmux_cmd kill-server 2>/dev/null || true; }

tmux_type() { tmux_cmd send-keys -t 0 -l "$1" && tmux_cmd send-keys -t 0 Enter; }

tmux_screen() { tmux_cmd capture-pane -t 0 -p; }

tmux_query() { tmux_cmd display-message -t 0 -p "$1"; }

# Waits until FILE exists and is not empty: a command typed before it has run, so a screen
# it cleared cannot be taken for the next one's.
tmux_wait_for_file() {
    local deadline=$((SECONDS + 20))
    until [[ -s "$1" ]]; do
        if ((SECONDS >= deadline)); then
            echo "timed out waiting for the file $1" >&2
            tmux_screen >&2
            return 1
        fi
        sleep 0.1
    done
}

tmux_wait_for() {
    local deadline=$((SECONDS + 20))
    until tmux_screen | grep -q -- "$1"; do
        if ((SECONDS >= deadline)); then
            echo "timed out waiting for: $1" >&2
            tmux_screen >&2
            return 1
        fi
        sleep 0.1
    done
}

# The pid of the program running in the pane's shell.
tmux_foreground_pid() { pgrep -n -P "$(tmux_query '#{pane_pid}')"; }
