#!/usr/bin/env bash
# The POSIX program in real terminal emulators, as a user runs it: xterm, rxvt-unicode, st
# and alacritty, whose keys differ (rxvt's Home is ESC [ 7 ~, st's Delete ESC [ P and its
# Ctrl+Delete ESC [ M, alacritty's keypad Enter LF), each on an X server of the test's own
# with its default settings. Real key presses and clicks (xdotool) answer the prompts,
# among them keys that must leave no trace, and end the closing screen; then the settings
# file must hold exactly what was typed, the terminal settings must be as they were, and
# the terminal must send no mouse reports and plain cursor keys again.
set -euo pipefail
program=$(realpath "$1")
source "$(dirname "$0")/lib/setup.sh"
test_setup
XVFB_PID=""
EMULATOR_PID=""
stop_emulator() {
    if [[ -n "$EMULATOR_PID" ]]; then
        kill "$EMULATOR_PID" 2>/dev/null || true
        wait "$EMULATOR_PID" 2>/dev/null || true
        EMULATOR_PID=""
    fi
    # What ran in it ends with its terminal; anything that did not is ended here.
    local pid
    for pid in $(cat "$work"/*/pid 2>/dev/null); do kill -KILL "$pid" 2>/dev/null || true; done
}
stop_xvfb() {
    if [[ -n "$XVFB_PID" ]]; then
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
    fi
}
on_exit stop_xvfb
on_exit stop_emulator

# An X server on a display number that is free, told by the server itself.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
XVFB_PID=$!
deadline=$((SECONDS + 20))
until [[ -s "$work/display" ]]; do
    ((SECONDS < deadline)) && kill -0 "$XVFB_PID" 2>/dev/null || {
        echo "Xvfb did not start" >&2
        cat "$work/xvfb.log" >&2
        exit 1
    }
    sleep 0.1
done
export DISPLAY=":$(cat "$work/display")"
# What the emulators keep at run time (alacritty's socket) stays in the test's directory.
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 0700 "$XDG_RUNTIME_DIR"

# What runs in the emulator: the program between two records of the terminal settings, then
# a raw copy of whatever the terminal still sends.
cat >"$work/session.sh" <<'SESSION'
cd "$1" || exit 1
stty -g >before
sh -c 'echo $$ >pid; exec "$0"' "$2"
echo $? >status
stty -g >after
stty raw -echo
exec dd bs=1 of=afterwards 2>/dev/null
SESSION

wait_until() {  # DESCRIPTION COMMAND...: waits up to 20 s for the command to succeed
    local what=$1 deadline=$((SECONDS + 20))
    shift
    until "$@"; do
        if ((SECONDS >= deadline)); then
            echo "timed out waiting for $what" >&2
            return 1
        fi
        sleep 0.1
    done
}
# Whether the program waits for input (in poll or ppoll) with nothing left to read. The
# kernel numbers the call as the program's own architecture does: x86-64's 7 and 271 (also
# for arm64's program, whose calls qemu-user makes), i386's 168, 309 and 414 (ppoll with a
# 64-bit time).
waiting_for_keys() {
    local pid syscall
    pid=$(cat "$dir/pid" 2>/dev/null) || return 1
    syscall=$(cut -d' ' -f1 "/proc/$pid/syscall" 2>/dev/null) || return 1
    [[ " 7 271 168 309 414 " == *" $syscall "* ]]
}
has_bytes() { [[ -s "$1" ]] && (($(stat -c %s "$1") >= $2)); }
keys() { xdotool key --delay 40 "$@"; }

# The emulator's window, once it shows one (the only client of the X server).
find_window() {
    window=$(xdotool search --onlyvisible --name . 2>/dev/null | tail -1)
    [[ -n $window ]]
}

# Runs one session: $1 names it, $2 is a key the closing screen must ignore besides q and
# Up, $3 how it is ended (a key, or click:N for a mouse button), then the emulator's
# command line up to where the command goes.
session() {
    local name=$1 ignored=$2 ending=$3
    shift 3
    dir="$work/$name"
    mkdir -p "$dir"
    COMSPEC=true LANG=C.UTF-8 "$@" bash "$work/session.sh" "$dir" "$program" \
        >"$work/$name.log" 2>&1 &
    EMULATOR_PID=$!
    wait_until "$name to start the program" waiting_for_keys
    local window
    wait_until "$name's window" find_window
    xdotool windowfocus --sync "$window"

    # X: "12", Backspace, "3", the editing, cursor and function keys with their modifiers,
    # Esc on its own, and 4 on the keypad with NumLock: "134".
    keys 1 2 BackSpace 3 Delete Insert Home End Prior Next shift+Home shift+End shift+Delete \
        ctrl+End ctrl+Insert ctrl+Delete
    sleep 0.4 # longer than an unfinished sequence waits
    keys shift+Insert F1 F5 Up Left Tab Escape
    sleep 0.2 # a lone Esc, not Alt with the next key
    keys KP_4 Return
    # Y: "-7", ended by the keypad's Enter; then "y" saves.
    keys minus 7 KP_Enter y Return
    wait_until "$name to save the settings" test -s "$dir/VIRODARO.CFG"
    wait_until "$name's closing screen" waiting_for_keys
    keys q Up "$ignored"
    sleep 0.5 # what an unfinished sequence waits for
    check_eq "$name: the closing screen ignores q, Up and $ignored" "waiting" \
        "$(test -e "$dir/status" && echo ended || echo waiting)"
    case $ending in
    click:*) xdotool mousemove --window "$window" 100 100 click "${ending#click:}" ;;
    *) keys "$ending" ;;
    esac
    wait_until "$name to end the program" test -s "$dir/after"

    check_eq "$name: the settings file holds X 134 and Y -7" "31 33 34 0d 0a 2d 37 0d 0a" \
        "$(od -An -tx1 "$dir/VIRODARO.CFG" | xargs)"
    check_eq "$name: the program ended normally" "0" "$(cat "$dir/status")"
    check_eq "$name: terminal settings as found" "$(cat "$dir/before")" "$(cat "$dir/after")"
    # Mouse reporting off: a click sends nothing; the cursor keys are the plain ones.
    wait_until "$name's raw copy" test -e "$dir/afterwards"
    xdotool mousemove --window "$window" 120 120 click 1
    keys Up z
    wait_until "$name to pass on the keys" has_bytes "$dir/afterwards" 4
    sleep 0.2
    check_eq "$name: afterwards a click sends nothing and Up is ESC [ A" "1b 5b 41 7a" \
        "$(od -An -tx1 "$dir/afterwards" | xargs)"
    stop_emulator
}

session xterm F1 click:1 xterm -e
session rxvt-unicode Home click:3 urxvt -e
session st ctrl+Delete click:1 st -e
session alacritty ctrl+Delete KP_Enter alacritty -e
check_done
