#!/usr/bin/env bash
# The POSIX program and the Windows program under wine, run without a terminal against the
# same private print server, write the same bytes (the same queues, the same report), end
# with the same exit code, and each hand one job to the server. The POSIX build lists one
# destination more, its built-in "PDF file", last.
set -euo pipefail
posix_program=$1
windows_program=$2
source "$(dirname "$0")/lib/setup.sh"
test_setup wine cups
cups_start "$work/server"

run() {  # NAME PROGRAM...: runs in a directory of its own, without a terminal
    mkdir -p "$work/$1"
    local name=$1
    shift
    set +e
    (cd "$work/$name" && setsid -w "$@" >stdout </dev/null 2>/dev/null)
    echo $? >"$work/$name/status"
    set -e
}
run posix "$posix_program"
run windows env "WINEPREFIX=$(wine_prefix "$windows_program")" WINEDEBUG=-all \
    WINEDLLOVERRIDES="mscoree,mshtml=" wine "$windows_program"
cups_jobs_done
grep -a -v -x $'PDF file\r' "$work/posix/stdout" >"$work/posix/stdout-queues" || true

check_eq "exit codes" "$(cat "$work/posix/status")" "$(cat "$work/windows/status")"
check_eq "exit code 0" 0 "$(cat "$work/posix/status")"
check_eq "standard output" "$(od -An -tx1 "$work/posix/stdout-queues")" \
    "$(od -An -tx1 "$work/windows/stdout")"
check_eq "first line is the banner" $'\xf9 VIRODARO \xf9\r' "$(head -1 "$work/posix/stdout")"
check_eq "the report's measurements" "    Width = 2479     Height = 3508  TopMargin=  0  BottonMargin=  0" \
    "$(grep -a 'Width =' "$work/posix/stdout" | head -1 | tr -d '\r')"
check_eq "one job each" 2 "$(ls "$CUPS_OUT"/*.pdf | wc -l)"
check_done
