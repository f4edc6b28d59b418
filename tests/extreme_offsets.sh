#!/usr/bin/env bash
# The sanitized POSIX program in a real terminal (tmux) with offsets at and far beyond the
# ends of the 32-bit range: typed at the prompts and saved, then read back from the
# settings file. Every run must print its page, report it, end with exit code 0 and no
# sanitizer report, and hand the terminal back as it found it. The print server is a socket
# where nothing listens, so the page becomes a PDF file in the run's own directory.
set -euo pipefail
program=$1
source "$(dirname "$0")/lib/setup.sh"
test_setup tmux
tmux_start 120 40
# fontconfig keeps its cache for the life of the process; nothing else may leak.
sanitizers="LSAN_OPTIONS=suppressions=$here/../src/platform/posix/lsan_suppressions.txt UBSAN_OPTIONS=print_stacktrace=1"

# Starts a run in directory $1 with the settings and output recorded around it.
start_run() {
    local tag=$1
    mkdir -p "$work/$tag"
    tmux_type "clear; cd $work/$tag; stty -g > ../$tag.before; $sanitizers $program 2> ../$tag.err; echo \$? > ../$tag.status; stty -g > ../$tag.after; echo END-$tag"
    # Once the terminal settings are noted, the last run's screen is gone and cannot be taken
    # for this one's. (A marker on the screen could be cleared by the program before it is
    # seen: a run with a settings file goes straight to its closing screen.)
    tmux_wait_for_file "$work/$tag.before"
}
answer() { tmux_cmd send-keys -t 0 -l -- "$1"; tmux_cmd send-keys -t 0 Enter; }
# Waits for the run $1 to show $2; a run that ended before (a sanitizer stopped it) shows
# what it wrote to standard error.
run_shows() {
    tmux_wait_for "$2" || {
        echo "FAIL: $1 never showed: $2; its standard error:"
        cat "$work/$1.err"
        exit 1
    }
}
finish_run() {
    local tag=$1
    run_shows "$tag" "will Exit Program"
    tmux_screen >"$work/$tag.screen"
    tmux_cmd send-keys -t 0 Enter
    tmux_wait_for "^END-$tag"
    check_eq "$tag: exit code" 0 "$(cat "$work/$tag.status")"
    check_eq "$tag: no sanitizer report" "" "$(cat "$work/$tag.err")"
    check_eq "$tag: terminal settings as found" "$(cat "$work/$tag.before")" "$(cat "$work/$tag.after")"
}

round=0
for pair in "1e5000 -1e38" "3e9 -3e9" "-1e38 1e5000"; do
    read -r x y <<<"$pair"
    round=$((round + 1))
    typed="typed$round"
    start_run "$typed"
    run_shows "$typed" "X axis:"
    answer "$x"
    run_shows "$typed" "Y axis:"
    answer "$y"
    run_shows "$typed" "Save setting (Y/N)"
    answer y
    finish_run "$typed"
    check_eq "$typed: the report names the typed offsets" 1 \
        "$(grep -c -- "Printer = .*   X = $x   Y = $y\$" "$work/$typed.screen")"
    check_eq "$typed: saved as typed" "$(printf '%s\r\n%s\r\n' "$x" "$y" | od -An -tx1)" \
        "$(od -An -tx1 "$work/$typed/VIRODARO.CFG")"
    check_eq "$typed: one page" 1 "$(find "$work/$typed" -name '*.pdf' | wc -l)"

    # The next run in the same directory reads them from the file.
    saved="saved$round"
    mv "$work/$typed" "$work/$saved"
    rm -f "$work/$saved"/*.pdf
    start_run "$saved"
    finish_run "$saved"
    check_eq "$saved: the setting line shows the file's offsets" 1 \
        "$(grep -c -- "setting  X = $x     Y = $y\$" "$work/$saved.screen")"
    check_eq "$saved: the report follows" 1 "$(grep -c -- "   X = $x   Y = $y\$" "$work/$saved.screen")"
    check_eq "$saved: one page" 1 "$(find "$work/$saved" -name '*.pdf' | wc -l)"
done

check_done
