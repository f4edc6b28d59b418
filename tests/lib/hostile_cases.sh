# The program against print servers that answer wrongly, one case at a time: each case puts
# tools/hostile_print_server.py, with its case number and seed, in front of a private cupsd
# and runs the program twice against it, in a pseudo-terminal (answering the prompts) and
# without a terminal (with a settings file, so it prints unattended), each in a directory
# of its own. A run passes when it ends by itself within the bound with exit status 0, no
# signal and no sanitizer report, asks the server at most 16 questions, puts none of the
# server's control bytes raw on the terminal, and shows a report line or why no page was
# printed.
#
#   hostile_start DIR SEED
#                         starts the print server in DIR (HOSTILE_WORK): its cups-pdf
#                         queues (one the server's default) and queues from three installed
#                         drivers' models picked by SEED (the first is the user's own
#                         default in the cases that want one), all stopped, so that jobs
#                         wait and no filter runs; their PPDs also feed the cases that
#                         serve another driver's PPD
#   hostile_all PROGRAM SESSION FIRST COUNT SEED
#                         runs cases FIRST to FIRST+COUNT-1, those whose answers may never
#                         end many at a time (HOSTILE_LONG_SLOTS, 24) and the others a few at
#                         a time (HOSTILE_SHORT_SLOTS, the processors); prints one line per
#                         case as it ends ("ok case N ..." or "FAIL case N: WHY ... repeat:
#                         ...") and leaves it in HOSTILE_WORK/results/N.line, the reasons it
#                         failed one a line in N.reasons
#   hostile_stop          ends every case still running, and copies HOSTILE_WORK to the
#                         directory HOSTILE_KEEP names, if it names one, for a look at the
#                         cases' files afterwards; the caller gives it to on_exit
#                         (lib/setup.sh), which stops the print server after it
#
# HOSTILE_BOUND (150) is the seconds a run may take before it is ended and fails, and
# HOSTILE_PROCESSOR_SECONDS (30) the processor time.

HOSTILE_TOOL="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/tools/hostile_print_server.py"
HOSTILE_PYTHON=/usr/bin/python3
HOSTILE_LSAN_SUPPRESSIONS="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/src/platform/posix/lsan_suppressions.txt"
HOSTILE_BOUND=${HOSTILE_BOUND:-150}
# A run takes well under a second of processor time; one that spins is ended sooner than the
# bound would end it, so that it does not hold a processor the other cases need.
HOSTILE_PROCESSOR_SECONDS=${HOSTILE_PROCESSOR_SECONDS:-30}
HOSTILE_MOST_REQUESTS=16
# Sourced from within test_setup: the table must be global, not the function's.
declare -gA HOSTILE_RUNNING=()

hostile_start() {  # DIR SEED
    local seed=$2 model i=0
    HOSTILE_WORK=$1
    mkdir -p "$HOSTILE_WORK/ppds" "$HOSTILE_WORK/results"
    cups_start "$HOSTILE_WORK/cups"
    HOSTILE_USER_QUEUE=""
    while IFS= read -r model; do
        local queue="virodaro$$-driver$((++i))"
        # A model the server makes no queue of is the driver's fault, not the program's.
        if cups_add_queue "$queue" "$model" 2>>"$HOSTILE_WORK/cups/log/lpadmin.log"; then
            cp "$CUPS_DIR/etc/ppd/$queue.ppd" "$HOSTILE_WORK/ppds/"
            [[ -n $HOSTILE_USER_QUEUE ]] || HOSTILE_USER_QUEUE=$queue
            echo "hostile print server: queue $queue from $model"
        fi
    done < <(sweep_models | sweep_sample "$seed" 3)
    # Jobs wait on stopped queues; nothing is filtered or printed.
    for queue in $(lpstat -a | cut -d' ' -f1); do
        cupsdisable "$queue"
    done
    [[ -n $HOSTILE_USER_QUEUE ]] || HOSTILE_USER_QUEUE=$CUPS_QUEUE
    export HOSTILE_WORK HOSTILE_USER_QUEUE
}

# Waits up to 10 s for the proxy's "listening" line and gives its address.
hostile_address() {  # FILE
    local i
    for ((i = 0; i < 100; ++i)); do
        if grep -q '^listening ' "$1" 2>/dev/null; then
            sed -n 's/^listening //p' "$1"
            return 0
        fi
        sleep 0.1
    done
    return 1
}

# One run of a case; writes "REASON..." (nothing when it passed) to DIR/verdict and its time
# to DIR/seconds.
hostile_run() {  # MODE PROGRAM SESSION CASE SEED DEFAULT LOCALE TRANSPORT
    local mode=$1 program=$2 session=$3 case=$4 seed=$5 default=$6 locale=$7 transport=$8
    local dir="$HOSTILE_WORK/case-$case/$mode" proxy_pid status=0 address reasons=()
    mkdir -p "$dir/home/.cups"
    [[ $default == user ]] && printf 'Default %s\n' "$HOSTILE_USER_QUEUE" >"$dir/home/.cups/lpoptions"
    local -a listen=(--listen "$dir/server.sock")
    [[ $transport == tcp ]] && listen=(--tcp)
    "$HOSTILE_PYTHON" "$HOSTILE_TOOL" serve --case "$case" --seed "$seed" --upstream "$CUPS_SERVER" \
        "${listen[@]}" --report "$dir/requests" --log "$dir/server.log" \
        --ppd-pool "$HOSTILE_WORK/ppds" --lifetime $((HOSTILE_BOUND + 60)) \
        >"$dir/listening" 2>"$dir/server.err" &
    proxy_pid=$!
    # shellcheck disable=SC2064
    trap "kill $proxy_pid 2>/dev/null" EXIT
    if ! address=$(hostile_address "$dir/listening"); then
        echo "the hostile server did not start" >"$dir/verdict"
        kill "$proxy_pid" 2>/dev/null
        return
    fi
    local started=$SECONDS
    local -a environment=(env -u LC_ALL -u PRINTER -u LPDEST CUPS_SERVER="$address"
        HOME="$dir/home" TMPDIR="$dir" TERM=xterm LANG="$locale"
        ASAN_OPTIONS="log_path=$dir/sanitizer:detect_leaks=1"
        UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:log_path=$dir/sanitizer"
        LSAN_OPTIONS="suppressions=$HOSTILE_LSAN_SUPPRESSIONS")
    local -a limit=(prlimit --cpu="$HOSTILE_PROCESSOR_SECONDS:$((HOSTILE_PROCESSOR_SECONDS + 5))")
    if [[ $mode == pty ]]; then
        printf 'deadline %s\nwait X axis: \nsend 12\\r\nwait Y axis: \nsend -8\\r\nwhen (Y/N)\tn\\r\nwait Exit Program\nsend \\r\n' \
            "$HOSTILE_BOUND" >"$dir/script"
        (cd "$dir" && timeout --foreground -k 5 $((HOSTILE_BOUND + 20)) "${environment[@]}" \
            "$session" "$dir/screen" "$dir/script" "${limit[@]}" "$program") \
            2>"$dir/session.err" || status=$?
        touch "$dir/screen"
    else
        printf '12\r\n-8\r\n' >"$dir/VIRODARO.CFG"
        # setsid runs the program in a session of its own, without a controlling terminal.
        (cd "$dir" && timeout --foreground -k 5 "$HOSTILE_BOUND" "${environment[@]}" \
            setsid "${limit[@]}" "$program" </dev/null >"$dir/screen" 2>"$dir/errors") \
            2>/dev/null || status=$?
    fi
    echo $((SECONDS - started)) >"$dir/seconds"
    kill "$proxy_pid" 2>/dev/null
    wait "$proxy_pid" 2>/dev/null || true
    trap - EXIT

    if [[ $mode == pty && $status == 124 ]]; then
        if grep -q 'command had ended with status' "$dir/session.err"; then
            status=$(sed -n 's/.*command had ended with status //p' "$dir/session.err")
            reasons+=("ended before $(sed -n 's/.*timed out waiting for: //p' "$dir/session.err" | tr ' ' '_')")
        else
            reasons+=("time bound")
            status=0
        fi
    elif [[ $status == 124 || $status == 137 ]]; then
        reasons+=("time bound")
        status=0
    fi
    if ((status == 128 + 24)); then
        reasons+=("processor time bound")
    elif ((status >= 128)); then
        reasons+=("signal $((status - 128))")
    elif ((status != 0)); then
        reasons+=("exit $status")
    fi
    if grep -qsE 'ERROR: |runtime error|SUMMARY: ' "$dir"/sanitizer*; then
        reasons+=("sanitizer")
    fi
    if [[ $mode == pty ]] && ! "$HOSTILE_PYTHON" "$HOSTILE_TOOL" scan "$dir/screen" >"$dir/raw"; then
        reasons+=("raw control on the terminal")
    fi
    local requests
    requests=$(sed -n 's/^requests //p' "$dir/requests" 2>/dev/null)
    if ((${requests:-0} > HOSTILE_MOST_REQUESTS)); then
        reasons+=("more than $HOSTILE_MOST_REQUESTS requests")
    fi
    # libcups asks for a password on the terminal when nobody stops it.
    if [[ $mode == pty ]] && grep -aq 'Password for ' "$dir/screen"; then
        reasons+=("password prompt")
    fi
    # The terminal is 80 columns wide: lines are read with its wraps taken out.
    if ! tr -d '\r\n' <"$dir/screen" | grep -aqE '  Printer = | \.\.\.\.No page printed: '; then
        reasons+=("no report")
    fi
    local IFS=,
    echo "${reasons[*]}" >"$dir/verdict"
}

# The first line of a run's sanitizer report, or the end of its screen, for a failure.
hostile_detail() {  # DIR
    local dir=$1
    if grep -qsE 'ERROR: |runtime error' "$dir"/sanitizer*; then
        grep -haE 'ERROR: |runtime error' "$dir"/sanitizer* | head -1
    elif [[ -s $dir/raw ]]; then
        head -1 "$dir/raw"
    else
        tr -d '\r' <"$dir/screen" | sed 's/\x1b\[[0-9;?]*[A-Za-z]//g' | grep -a . | tail -2 |
            tr '\n' '|' | cut -c1-200
    fi
}

# One case, both runs at once; writes its line to HOSTILE_WORK/results/CASE.line.
hostile_case() {  # PROGRAM SESSION CASE SEED DESCRIPTION
    local program=$1 session=$2 case=$3 seed=$4 description=$5
    local default locale transport word
    for word in $description; do
        case $word in
        default=*) default=${word#*=} ;;
        locale=*) locale=${word#*=} ;;
        transport=*) transport=${word#*=} ;;
        esac
    done
    hostile_run pty "$program" "$session" "$case" "$seed" "$default" "$locale" "$transport" &
    hostile_run batch "$program" "$session" "$case" "$seed" "$default" "$locale" "$transport" &
    wait
    local dir="$HOSTILE_WORK/case-$case" pty batch line
    pty=$(cat "$dir/pty/verdict" 2>/dev/null || echo "no verdict")
    batch=$(cat "$dir/batch/verdict" 2>/dev/null || echo "no verdict")
    local times="pty $(cat "$dir/pty/seconds" 2>/dev/null) s, batch $(cat "$dir/batch/seconds" 2>/dev/null) s"
    # The reasons one a line, for a summary of many cases.
    printf '%s\n' "$pty" "$batch" | tr ',' '\n' | grep . | sort -u >"$HOSTILE_WORK/results/$case.reasons" || true
    if [[ -z $pty && -z $batch ]]; then
        line="ok case $case ($times): ${description#* seed=* }"
    else
        line="FAIL case $case:${pty:+ pty: $pty;}${batch:+ batch: $batch;} ($times) ${description#* seed=* }"
        [[ -n $pty ]] && line+=$'\n'"    pty: $(hostile_detail "$dir/pty")"
        [[ -n $batch ]] && line+=$'\n'"    batch: $(hostile_detail "$dir/batch")"
        line+=$'\n'"    repeat: bash tests/hostile_print_server.sh PROGRAM PTY_SESSION 1 $seed $case"
    fi
    printf '%s\n' "$line" >"$HOSTILE_WORK/results/$case.line"
    # Thousands of cases would fill the disk with their screens and logs.
    [[ -n ${HOSTILE_KEEP:-} ]] || rm -rf "$dir"
}

hostile_all() {  # PROGRAM SESSION FIRST COUNT SEED
    local program=$1 session=$2 first=$3 count=$4 seed=$5
    local -a long=() short=()
    local description pid
    declare -A described=()
    while IFS= read -r description; do
        local case=${description#case=}
        case=${case%% *}
        described[$case]=$description
        if [[ $description == *" long=1 "* ]]; then long+=("$case"); else short+=("$case"); fi
    done < <("$HOSTILE_PYTHON" "$HOSTILE_TOOL" describe --case "$first" --count "$count" --seed "$seed")
    local long_slots=${HOSTILE_LONG_SLOTS:-24} short_slots=${HOSTILE_SHORT_SLOTS:-$(nproc)}
    local running_long=0 running_short=0
    declare -A kind_of=()
    # Each case runs as a job of its own (a process group), so that hostile_stop can end
    # it with everything it started.
    set -m
    while ((${#long[@]} + ${#short[@]} + ${#HOSTILE_RUNNING[@]} > 0)); do
        for pid in "${!HOSTILE_RUNNING[@]}"; do
            if ! kill -0 "$pid" 2>/dev/null; then
                wait "$pid" 2>/dev/null || true
                cat "$HOSTILE_WORK/results/${HOSTILE_RUNNING[$pid]}.line" 2>/dev/null ||
                    echo "FAIL case ${HOSTILE_RUNNING[$pid]}: the runner lost it"
                if [[ ${kind_of[$pid]} == long ]]; then running_long=$((running_long - 1)); else running_short=$((running_short - 1)); fi
                unset "HOSTILE_RUNNING[$pid]"
                # The server keeps no job: the queues stay as a user would find them.
                cancel -a -x 2>/dev/null || true
            fi
        done
        local started=0
        while ((${#long[@]} > 0 && running_long < long_slots)); do
            hostile_case "$program" "$session" "${long[0]}" "$seed" "${described[${long[0]}]}" &
            HOSTILE_RUNNING[$!]=${long[0]}
            kind_of[$!]=long
            long=("${long[@]:1}")
            running_long=$((running_long + 1))
            started=1
        done
        while ((${#short[@]} > 0 && running_short < short_slots)); do
            hostile_case "$program" "$session" "${short[0]}" "$seed" "${described[${short[0]}]}" &
            HOSTILE_RUNNING[$!]=${short[0]}
            kind_of[$!]=short
            short=("${short[@]:1}")
            running_short=$((running_short + 1))
            started=1
        done
        # Not `wait -n`: the print server is a child of this shell too, and never ends.
        ((started || ${#HOSTILE_RUNNING[@]} == 0)) || sleep 0.2
    done
    set +m
}

hostile_stop() {
    local pid
    for pid in "${!HOSTILE_RUNNING[@]}"; do
        kill -TERM -- "-$pid" 2>/dev/null || true
    done
    for pid in "${!HOSTILE_RUNNING[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    HOSTILE_RUNNING=()
    if [[ -n ${HOSTILE_WORK:-} && -n ${HOSTILE_KEEP:-} ]]; then
        mkdir -p "$HOSTILE_KEEP"
        cp -a "$HOSTILE_WORK"/. "$HOSTILE_KEEP"/ 2>/dev/null || true
        echo "hostile print server: the cases' files are kept in $HOSTILE_KEEP"
    fi
}
