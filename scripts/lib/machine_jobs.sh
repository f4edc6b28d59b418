# Checks that a run of tests handed no job to the machine's own print server: it counts the
# jobs that server holds (finished ones included) before the tests and again however the run
# ends, and fails the run if the number changed.
#
#   machine_jobs_watch   note the count now and set the EXIT trap that compares it

# The jobs the machine's own print server holds, finished ones included; "none" when it does
# not run.
machine_jobs() {
    local socket=/run/cups/cups.sock jobs
    if [[ -S $socket ]] && jobs=$(CUPS_SERVER=$socket lpstat -W all -o 2>/dev/null); then
        grep -c . <<<"$jobs" || true
    else
        echo none
    fi
}

machine_jobs_watch() {
    MACHINE_JOBS_BEFORE=$(machine_jobs)
    trap machine_jobs_check EXIT
}

# Checked however the run ends, so a failing test that printed there is reported too.
machine_jobs_check() {
    local after
    after=$(machine_jobs)
    if [[ $after != "$MACHINE_JOBS_BEFORE" ]]; then
        echo "FAIL: the machine's own print server held $MACHINE_JOBS_BEFORE jobs before the tests, $after after" >&2
        exit 1
    fi
    echo "ok: the machine's own print server got no job (jobs: $after)"
}
