#!/usr/bin/env bash
# The printer subsystem against a real print server of the test's own (a private cupsd with
# two cups-pdf queues, the second one landscape by default): the queues are listed, the
# default queue is attached and measured, the landscape queue is turned to portrait before
# its first page, a document with nothing drawn sends nothing and one with a page becomes a
# one-page PDF. With the Windows build's driver as a second argument, the same runs under
# wine, which reaches the same queues, and both builds must measure the same pages.
set -euo pipefail
posix_probe=$(realpath "$1")
windows_probe=${2:+$(realpath "$2")}
source "$(dirname "$0")/lib/setup.sh"
test_setup cups wine
cups_start "$work/cups"

# Runs a driver in the work directory; Windows ends its lines with CR LF.
run() { (cd "$work" && "$@") | tr -d '\r'; }

# The line of a probe's output that starts with a word.
line() { grep -m1 "^$2" <<<"$1" || true; }
nth_line() { grep "^$2" <<<"$1" | sed -n "$3p"; }

# One build's runs: $1 names the build, the rest is how to start its driver.
check_build() {
    local build=$1; shift
    local out jobs

    out=$(run "$@" list)
    check_eq "$build: the default queue is listed" "printer: $CUPS_QUEUE" "$(line "$out" "printer: $CUPS_QUEUE")"
    check_eq "$build: the landscape queue is listed" "printer: $CUPS_LANDSCAPE_QUEUE" \
        "$(line "$out" "printer: $CUPS_LANDSCAPE_QUEUE")"

    out=$(run "$@" attach measure portrait measure release)
    check_eq "$build: the default queue is attached" "attached: $CUPS_QUEUE error=0" "$(line "$out" attached)"
    eval "${build}_default=\$(nth_line \"\$out\" measure 1)"
    check_eq "$build: released without errors" "released error=0" "$(line "$out" released)"

    out=$(run "$@" "attach:$CUPS_LANDSCAPE_QUEUE" measure portrait measure page release)
    eval "${build}_landscape_before=\$(nth_line \"\$out\" measure 1)"
    eval "${build}_landscape_after=\$(nth_line \"\$out\" measure 2)"
    check_eq "$build: portrait before the first page" "portrait error=0" "$(line "$out" portrait)"

    jobs=$(cups_job_count)
    out=$(run "$@" attach release attach page cancel)
    check_eq "$build: nothing drawn and cancelled documents send no job" "$jobs" "$(cups_job_count)"

    out=$(run "$@" attach page release)
    check_eq "$build: a document with a page sends one job" "$((jobs + 1))" "$(cups_job_count)"
}

check_build posix "$posix_probe"
check_eq "posix: the default queue's A4 page at 300 dpi, no margins" \
    "measure 2479 3508 0 0 0 0 2479 3508 300 300 1 error=0" "$posix_default"
check_eq "posix: the landscape queue starts turned" \
    "measure 3508 2479 0 0 0 0 3508 2479 300 300 2 error=0" "$posix_landscape_before"
check_eq "posix: and is portrait after the switch" "$posix_default" "$posix_landscape_after"
expected_jobs=2

if [[ -n "$windows_probe" ]]; then
    # Wine does not read a queue's default orientation (its pages start in portrait), so
    # only the turned measurements can be compared there.
    check_build windows wine_run "$windows_probe"
    check_eq "both builds measure the default queue alike" "$posix_default" "$windows_default"
    check_eq "both builds measure the turned landscape queue alike" "$posix_landscape_after" \
        "$windows_landscape_after"
    expected_jobs=4
fi

cups_jobs_done
check_eq "every job became a PDF" "$expected_jobs" "$(find "$CUPS_OUT" -name '*.pdf' | wc -l)"
for pdf in "$CUPS_OUT"/*.pdf; do
    check_eq "$(basename "$pdf") is one A4 page" "Pages: 1|595 x 842 pts (A4)" \
        "$(pdfinfo "$pdf" | sed -n 's/^Pages: *\(.*\)/Pages: \1/p')|$(pdfinfo "$pdf" | sed -n 's/^Page size: *//p')"
done
check_done
