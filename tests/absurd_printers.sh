#!/usr/bin/env bash
# The sanitized POSIX program against printers whose descriptions make no sense: a private
# print server with queues made from PPDs that give an absurd resolution (in dots per inch
# and per centimetre), an absurd paper and a printable area turned inside out. Every number
# from the server must be checked before it is used: each run ends with exit code 0, no
# sanitizer report, and the clear outcome that no printer could be attached; a sane queue
# on the same server still prints.
set -euo pipefail
program=$(realpath "$1")
source "$(dirname "$0")/lib/setup.sh"
test_setup cups
cups_start "$work/cups"
export LSAN_OPTIONS="suppressions=$here/../src/platform/posix/lsan_suppressions.txt"
export UBSAN_OPTIONS=print_stacktrace=1

base="$here/ppd/uneven_margins.ppd"
# NAME and the sed expression that makes its PPD absurd.
absurd=(
    'dpcm:s/^\*DefaultResolution: .*/*DefaultResolution: 100000000dpcm/; s/^\*Resolution 600dpi\/600 DPI/*Resolution 100000000dpcm\/Absurd/'
    'dpi:s/^\*DefaultResolution: .*/*DefaultResolution: 2147483647dpi/; s/^\*Resolution 600dpi\/600 DPI/*Resolution 2147483647dpi\/Absurd/'
    'paper:s/^\*PaperDimension A4\/A4: .*/*PaperDimension A4\/A4: "10000000 10000000"/; s/^\*ImageableArea A4\/A4: .*/*ImageableArea A4\/A4: "0 0 10000000 10000000"/'
    'inside-out:s/^\*ImageableArea A4\/A4: .*/*ImageableArea A4\/A4: "587 826 12 18"/'
)

run_on() {  # QUEUE: makes it the default and runs the program with a settings file
    local dir="$work/run-$1" status=0
    lpadmin -d "$1"
    mkdir "$dir"
    printf '12\r\n-8\r\n' >"$dir/VIRODARO.CFG"
    (cd "$dir" && setsid -w "$program" </dev/null >"$dir.out" 2>"$dir.err") || status=$?
    echo "$status"
}

for entry in "${absurd[@]}"; do
    name=${entry%%:*}
    sed -e "${entry#*:}" "$base" >"$work/$name.ppd"
    queue="virodaro$$-$name"
    cups_add_queue "$queue" "$work/$name.ppd"
    status=$(run_on "$queue")
    check_eq "$name: exit code" 0 "$status"
    check_eq "$name: no sanitizer report" "" "$(grep -E 'runtime error|Sanitizer' "$work/run-$queue.err" || true)"
    check_eq "$name: the printer is refused" 1 \
        "$(grep -c ' ....No page printed: no printer could be attached (runtime error 68).' "$work/run-$queue.out" || true)"
done

sane="virodaro$$-sane"
cups_add_queue "$sane" "$base"
status=$(run_on "$sane")
check_eq "sane queue: exit code" 0 "$status"
check_eq "sane queue: the page is reported" 1 \
    "$(grep -c '    Width =' "$work/run-$sane.out" || true)"

check_done
