#!/usr/bin/env bash
# --help and --version of the POSIX program. On a terminal (a pseudo-terminal that
# `script` records), each prints its text to standard output and exits 0 without a byte
# for the terminal beyond the text, with the terminal's settings as they were, and
# without opening the terminal, the settings file or a connection to a print server (the
# system calls are traced). Standard output that takes nothing makes the exit code 255.
# Any other command tail runs the program as usual: without a terminal it prints the page
# through "PDF file".
#   tests/standard_options.sh VIRODARO PROJECT_VERSION
set -euo pipefail
program=$(realpath "$1")
version=$2
source "$(dirname "$0")/lib/setup.sh"
test_setup

# Runs the program with the arguments on a terminal of its own, in a directory that holds
# a settings file, and traces its system calls. Leaves what reached the terminal in
# DIR/terminal, the exit code in DIR/status, the terminal settings before and after in
# DIR/stty.before and DIR/stty.after.
on_terminal() {  # DIR ARGUMENT...
    local dir=$1 arguments
    shift
    mkdir -p "$dir"
    printf '12\r\n-8\r\n' >"$dir/VIRODARO.CFG"
    printf -v arguments ' %q' "$@"
    (cd "$dir" && script -q -e -c "stty -g >stty.before; printf '\\036'
        strace -f -o trace $(printf '%q' "$program")$arguments; status=\$?
        printf '\\037'; stty -g >stty.after; echo \$status >status" typescript </dev/null \
        >/dev/null) || true
    # The bytes between the two marks (RS and US), as the terminal received them.
    perl -0777 -ne 'print $1 if /\x1e(.*)\x1f/s' "$dir/typescript" >"$dir/terminal"
}

# What a traced run did that it must not: open the terminal or a file in its directory,
# change the terminal's settings, connect anywhere.
forbidden_calls() {
    grep -E '"/dev/tty"|VIRODARO\.CFG|\.pdf"|connect\(|ioctl\([0-9]+, (TCSET|TIOCS)' "$1/trace" ||
        true
}

on_terminal "$work/help" --help
check_eq "--help exits 0" 0 "$(cat "$work/help/status")"
check_eq "and prints the usage on the terminal, from its first line to the manual's name" \
    "Usage: virodaro|The whole manual: man virodaro" \
    "$(tr -d '\r' <"$work/help/terminal" | sed -n '1p;$p' | paste -sd'|')"
check_eq "with no byte for the terminal but text and line ends" "" \
    "$(tr -d '[:print:]\r\n' <"$work/help/terminal")"
check_eq "the terminal's settings stay as they were" "$(cat "$work/help/stty.before")" \
    "$(cat "$work/help/stty.after")"
check_eq "no terminal, settings file, page or print server was touched" "" \
    "$(forbidden_calls "$work/help")"

on_terminal "$work/version" --version
check_eq "--version prints the project's version and exits 0" "virodaro $version|0" \
    "$(tr -d '\r' <"$work/version/terminal")|$(cat "$work/version/status")"
check_eq "and touches nothing either" "" "$(forbidden_calls "$work/version")"

set +e
"$program" --help >/dev/full 2>/dev/null
status=$?
set -e
check_eq "--help into a full device exits 255" 255 "$status"

# Other tails: the program runs, without a terminal, and prints its page as a PDF file.
for tail in "--help x" "-h" "--help --version" "--help=" "--HELP"; do
    dir=$work/other/${tail// /_}
    mkdir -p "$dir"
    # shellcheck disable=SC2086 # the tail is split into its arguments
    (cd "$dir" && setsid -w "$program" $tail </dev/null >stdout 2>&1) && status=0 || status=$?
    check_eq "virodaro $tail runs the program: its banner, a page, exit 0" "1 1 0" \
        "$(grep -ac 'VIRODARO will prepare paper' "$dir/stdout") $(ls "$dir"/*.pdf | wc -l) $status"
done
(cd "$work/other" && mkdir blank && cd blank && setsid -w "$program" "--help " </dev/null \
    >stdout 2>&1) || true
check_eq "an argument \"--help \" with its blank runs the program too" 1 \
    "$(ls "$work"/other/blank/*.pdf | wc -l)"
check_done
