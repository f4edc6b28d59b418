# A print server of the test's own: a cupsd with its own configuration, socket, spool and
# logs under one directory, two cups-pdf queues (the default one in portrait, a second one
# whose default orientation is landscape), started in the background and stopped again.
# It never touches the machine's own printers: the queues have names unique to this run,
# and the one file that cups-pdf insists on reading from /etc/cups (its configuration,
# named after the queue) is removed again by cups_stop.
#
#   cups_start DIR        start the server in DIR; sets CUPS_SERVER, CUPS_QUEUE,
#                         CUPS_LANDSCAPE_QUEUE and CUPS_OUT (where the PDFs land); waits
#                         CUPS_START_SECONDS (20) for it to answer; CUPS_SERVER_BIN, when
#                         set, is where it finds its filters, backends and drivers; with
#                         CUPS_ACCESS_LOG_LEVEL=all its access log names every request
#   cups_add_queue NAME MODEL [OPTION=VALUE...]
#                         a queue made as a user makes one with lpadmin: MODEL is one of
#                         the server's drivers (`lpinfo -m`, "drv:///sample.drv/..."),
#                         "everywhere" for an IPP printer (then set CUPS_DEVICE to its URI)
#                         or a PPD file; the options are what the user picks (media,
#                         Resolution, orientation-requested-default), all else stays the
#                         server's default. The queue's PPD is then $CUPS_DIR/etc/ppd/NAME.ppd
#   cups_postscript_queue add a PostScript printer made from the server's own sample driver,
#                         as a user adds one, whose device is a file: sets
#                         CUPS_POSTSCRIPT_QUEUE and CUPS_POSTSCRIPT_OUT (the last job's
#                         PostScript)
#   cups_job_count        how many jobs the server has received
#   cups_jobs_done        wait until the server has no pending job (fails after 30 s)
#   cups_stop             stop the server and remove what it added outside DIR (the
#                         caller's EXIT trap should run it)

CUPS_PDF_CONFIGS=()
CUPS_PID=""

cups_start() {
    local dir=$1 id
    # A server started in a subshell beside another gets names of its own.
    id="virodaro$BASHPID"
    # Filters and cups-pdf run as lp: every directory on their way must be open to it.
    mkdir -p "$dir"/{etc,spool,tmp,cache,state,log,out,cups-pdf-spool}
    chmod 0755 "$dir" "$dir"/{etc,cache,state,log}
    chmod 0777 "$dir"/{tmp,out,cups-pdf-spool}
    chmod 0710 "$dir/spool"
    chgrp lp "$dir/spool"

    cat >"$dir/etc/cupsd.conf" <<CONF
Listen $dir/cups.sock
LogLevel warn
AccessLogLevel ${CUPS_ACCESS_LOG_LEVEL:-actions}
Browsing Off
WebInterface No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
    # FileDevice lets a queue write what a printer would receive into a file of the test's.
    cat >"$dir/etc/cups-files.conf" <<CONF
ServerRoot $dir/etc
RequestRoot $dir/spool
TempDir $dir/tmp
CacheDir $dir/cache
StateDir $dir/state
AccessLog $dir/log/access_log
ErrorLog $dir/log/error_log
PageLog $dir/log/page_log
User lp
Group lp
SystemGroup root
FileDevice Yes
${CUPS_SERVER_BIN:+ServerBin $CUPS_SERVER_BIN}
CONF
    mkdir -p "$dir/etc/ppd"
    /usr/sbin/cupsd -f -c "$dir/etc/cupsd.conf" -s "$dir/etc/cups-files.conf" &
    CUPS_PID=$!
    export CUPS_SERVER="$dir/cups.sock"
    # A server with very many queues reads all their printer descriptions before it answers.
    local deadline=$((SECONDS + ${CUPS_START_SECONDS:-20}))
    until lpstat -r 2>/dev/null | grep -q "is running"; do
        if ((SECONDS >= deadline)); then
            echo "cupsd did not start" >&2
            cat "$dir/log/error_log" >&2 2>/dev/null
            return 1
        fi
        sleep 0.1
    done

    CUPS_DIR="$dir"
    CUPS_OUT="$dir/out"
    CUPS_QUEUE="${id}-pdf"
    CUPS_LANDSCAPE_QUEUE="${id}-landscape"
    local queue
    for queue in "$CUPS_QUEUE" "$CUPS_LANDSCAPE_QUEUE"; do
        local config="/etc/cups/cups-pdf-$queue.conf"
        # Its log too stays in DIR, instead of the machine's /var/log/cups.
        printf 'Out %s\nSpool %s\nAnonDirName %s\nLabel 0\nUserUMask 0000\nLog %s\n' \
            "$CUPS_OUT" "$dir/cups-pdf-spool" "$CUPS_OUT" "$dir/log" >"$config"
        CUPS_PDF_CONFIGS+=("$config")
        cups_admin -p "$queue" -E -v "cups-pdf:/$queue" -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
    done
    cups_admin -p "$CUPS_LANDSCAPE_QUEUE" -o orientation-requested-default=4
    cups_admin -d "$CUPS_QUEUE"
    export CUPS_OUT CUPS_QUEUE CUPS_LANDSCAPE_QUEUE
}

cups_add_queue() {
    local name=$1 model=$2 option
    shift 2
    local -a args=(-p "$name" -E -v "${CUPS_DEVICE:-file:///dev/null}")
    if [[ -f "$model" ]]; then args+=(-P "$model"); else args+=(-m "$model"); fi
    for option in "$@"; do args+=(-o "$option"); done
    cups_admin "${args[@]}"
}

cups_postscript_queue() {
    CUPS_POSTSCRIPT_QUEUE="virodaro$$-postscript"
    CUPS_POSTSCRIPT_OUT="$CUPS_DIR/postscript.ps"
    CUPS_DEVICE="file://$CUPS_POSTSCRIPT_OUT" cups_add_queue "$CUPS_POSTSCRIPT_QUEUE" \
        drv:///sample.drv/generic.ppd
    export CUPS_POSTSCRIPT_QUEUE CUPS_POSTSCRIPT_OUT
}

# lpadmin, its notes (drivers are deprecated, ...) kept in the server's log unless it fails.
cups_admin() {
    local said
    if said=$(lpadmin "$@" 2>&1); then
        [[ -z $said ]] || printf '%s\n' "$said" >>"$CUPS_DIR/log/lpadmin.log"
    else
        printf '%s\n' "$said" >&2
        return 1
    fi
}

cups_jobs_done() {
    local deadline=$((SECONDS + 30))
    while [[ -n "$(lpstat -o 2>/dev/null)" ]]; do
        if ((SECONDS >= deadline)); then
            echo "timed out waiting for the jobs" >&2
            return 1
        fi
        sleep 0.2
    done
}

cups_job_count() { lpstat -W all -o 2>/dev/null | wc -l; }

cups_stop() {
    if [[ -n "$CUPS_PID" ]]; then
        kill "$CUPS_PID" 2>/dev/null || true
        wait "$CUPS_PID" 2>/dev/null || true
        CUPS_PID=""
    fi
    local config
    for config in "${CUPS_PDF_CONFIGS[@]}"; do
        rm -f "$config"
    done
    CUPS_PDF_CONFIGS=()
}
