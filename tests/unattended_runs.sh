#!/usr/bin/env bash
# The POSIX program without a terminal where its page or its screen cannot go anywhere: a
# read-only directory (the built-in "PDF file" destination cannot write its file), a deleted
# current directory, and standard output to a pipe nobody reads. Each run must end normally
# (exit 0, no signal), say why no page was printed, and leave nothing behind. The print
# server is a socket where nothing listens, so "PDF file" is the only destination.
set -euo pipefail
export LC_ALL=C
program=$1
source "$(dirname "$0")/lib/setup.sh"
test_setup cups
export CUPS_SERVER="$work/nothing-listens.sock"
# A copy the other user can run wherever the build tree lies.
cp "$program" "$work/virodaro"
program="$work/virodaro"

banner=$'\xF9 VIRODARO \xF9\r\nVIRODARO will prepare paper for cutting into four sections making scrap paper\r\n \r\n'
second=$'\xF9 VIRODARO \xF9\r\nApp will prepare paper lines for cutting into four sections making scrap paper\r\n \r\n'
closing=$' \r\n            [ESC],[ENTER] and [Left Mouse Click] will Exit Program\r\n \r\n'

# The bytes of file $1, trailing line ends included, in the variable $2.
read_bytes() {
    local bytes
    bytes=$(cat "$1" && echo .)
    printf -v "$2" '%s' "${bytes%.}"
}

# Runs the program in its own session (so it has no terminal) in directory $1, as a user
# that the directory's permissions hold even when the test runs as root.
run_unattended() {
    local dir=$1
    shift
    local as_user=()
    if ((EUID == 0)); then as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups --); fi
    (cd "$dir" && setsid -w "${as_user[@]}" "$program" "$@" </dev/null)
}

# A read-only directory with a settings file: the page is drawn but its file cannot be
# written, so there is no report, only the reason.
mkdir "$work/readonly"
printf '12\r\n-8\r\n' >"$work/readonly/VIRODARO.CFG"
chmod 555 "$work/readonly"
status=0
run_unattended "$work/readonly" >"$work/readonly.out" 2>"$work/readonly.err" || status=$?
check_eq "read-only directory: exit code" 0 "$status"
read_bytes "$work/readonly.out" out
check_eq "read-only directory: the reason stands where the report would" \
    "$banner$second   setting  X = 12     Y = -8"$'\r\n \r\n'" ....No page printed: the printer did not take the page (runtime error 57)."$'\r\n'"$closing" \
    "$out"
check_eq "read-only directory: nothing on standard error" "" "$(cat "$work/readonly.err")"
check_eq "read-only directory: nothing added, the settings file as it was" \
    "VIRODARO.CFG $(printf '12\r\n-8\r\n' | od -An -tx1)" \
    "$(ls -A "$work/readonly") $(od -An -tx1 "$work/readonly/VIRODARO.CFG")"

# The same without a settings file: the answers are empty, so no question follows either.
mkdir "$work/readonly-new"
chmod 555 "$work/readonly-new"
status=0
run_unattended "$work/readonly-new" >"$work/new.out" 2>&1 || status=$?
check_eq "read-only directory, first run: exit code" 0 "$status"
read_bytes "$work/new.out" out
expected="$second"$' \r\n ....No page printed: the printer did not take the page (runtime error 57).\r\n'"$closing"
check_eq "read-only directory, first run: the reason ends the second screen" "$expected" \
    "${out: -${#expected}}"
check_eq "read-only directory, first run: nothing added" "" "$(ls -A "$work/readonly-new")"

# A settings file the program may not read.
mkdir "$work/unreadable"
printf '12\r\n-8\r\n' >"$work/unreadable/VIRODARO.CFG"
chmod 000 "$work/unreadable/VIRODARO.CFG"
chmod 555 "$work/unreadable"
status=0
run_unattended "$work/unreadable" >"$work/unreadable.out" 2>&1 || status=$?
check_eq "unreadable settings file: exit code" 0 "$status"
check_eq "unreadable settings file: the reason names it" \
    " ....No page printed: VIRODARO.CFG File could not be opened (runtime error 70)." \
    "$(grep -a -e 'No page' -e 'Width =' "$work/unreadable.out" | tr -d '\r')"

# A current directory that was deleted: it cannot even be named.
mkdir "$work/gone"
status=0
(cd "$work/gone" && rmdir "$work/gone" && setsid -w "$program" </dev/null >"$work/gone.out" 2>&1) ||
    status=$?
check_eq "deleted directory: exit code" 0 "$status"
check_eq "deleted directory: the reason names it" \
    " ....No page printed: the current directory could not be read (runtime error 53)." \
    "$(grep -a 'No page' "$work/gone.out" | tr -d '\r')"

# Standard output to a pipe whose reader has gone: every write fails, and the run still
# goes to its end instead of dying by SIGPIPE.
mkdir "$work/pipe"
printf '0\r\n0\r\n' >"$work/pipe/VIRODARO.CFG"
mkfifo "$work/fifo"
exec 3<>"$work/fifo" 4>"$work/fifo"
exec 3<&-
status=0
(cd "$work/pipe" && setsid -w "$program" </dev/null >&4 2>"$work/pipe.err") || status=$?
exec 4>&-
check_eq "closed pipe: exit code" 0 "$status"
check_eq "closed pipe: nothing on standard error" "" "$(cat "$work/pipe.err")"
# The failed writes skip the page, as any earlier error does.
check_eq "closed pipe: no page" "VIRODARO.CFG" "$(ls -A "$work/pipe")"

# A reader that leaves after ten bytes takes exactly those.
status=0
first=$( (cd "$work/pipe" && setsid -w "$program" </dev/null 2>"$work/head.err"; echo "$?" >"$work/head.status") |
    head -c 10 | od -An -c)
check_eq "head -c 10: the first ten bytes" "$(printf '\xF9 VIRODARO' | od -An -c)" "$first"
check_eq "head -c 10: exit code" 0 "$(cat "$work/head.status")"
check_eq "head -c 10: nothing on standard error" "" "$(cat "$work/head.err")"

# A print server whose default queue refuses jobs: the page is drawn, the job is refused
# when the document ends, and the run says so. The server needs root, as cupsd does.
if ((EUID == 0)); then
    cups_start "$work/cups"
    cupsreject -r "closed for the test" "$CUPS_QUEUE"
    mkdir "$work/refused"
    printf '12\r\n-8\r\n' >"$work/refused/VIRODARO.CFG"
    status=0
    (cd "$work/refused" && setsid -w "$program" </dev/null >"$work/refused.out" 2>&1) || status=$?
    check_eq "refused job: exit code" 0 "$status"
    check_eq "refused job: the reason instead of the report" \
        " ....No page printed: the printer did not take the page (runtime error 57)." \
        "$(grep -a -e 'No page' -e 'Width =' "$work/refused.out" | tr -d '\r')"
    check_eq "refused job: no job on the server" 0 "$(cups_job_count)"
    cups_stop
else
    echo "skipped: a refused job needs a print server of the test's own, which needs root"
fi

check_done
