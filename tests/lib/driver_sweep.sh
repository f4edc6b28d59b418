# The POSIX program's report on queues made from the printer drivers the print server offers,
# one model after another, against the numbers each queue's own PPD gives (ppd_numbers.sh).
# Each queue is made as a user makes one (lpadmin -m MODEL, all else the server's
# defaults), becomes the default, and is stopped with cupsdisable, so that the program's job
# waits there and no filter runs; the program runs without a terminal with a settings file,
# and the queue goes again with its job. Needs a running cups_start server.
#
#   sweep_models             every model `lpinfo -m` offers that makes a queue of its own
#                            (not "raw", not a driverless printer, which needs a device), in
#                            a fixed order
#   sweep_sample SEED COUNT  COUNT of the models on standard input, picked by SEED: the same
#                            seed over the same list picks the same models
#   sweep_check PROGRAM MODEL
#                            one line: "right MODEL", "wrong MODEL: what strays" or
#                            "skipped MODEL: why" when the server makes no queue of it, its
#                            PPD gives no numbers for its default paper or the queue takes
#                            no PDF document
#   sweep_start DIR          starts the sweep's first print server in DIR (the test's
#                            directory, mode 0755), with the drivers of sweep_driver_bin
#   sweep_stop               ends the workers of a sweep cut short (setup.sh's exit runs it)
#   sweep_driver_bin DIR     the server's own programs in DIR/bin, for CUPS_SERVER_BIN of
#                            the print servers started after it, with the compressed PPD
#                            collections answering from what sweep_unpack put in DIR
#   sweep_unpack DIR MODELS  unpacks the PPDs of the models in the file MODELS from those
#                            collections once, into DIR
#   sweep_run PROGRAM MODELS RESULTS WORKERS
#                            sweep_check for every model in the file MODELS, shared among
#                            WORKERS print servers (the running one and more of their own,
#                            started beside it); all result lines go to the file RESULTS,
#                            the wrong and skipped ones to standard output as they come,
#                            with a note of the progress every 500 models

SWEEP_QUEUE="virodaro$$-sweep"
SWEEP_WORKER_PIDS=()
# The program's report, then its halves, in the order sweep_check reads them.
SWEEP_NAMES="width height top-margin bottom-margin half-width half-height"

sweep_models() {
    # Names may hold spaces, so they are read from the long listing.
    lpinfo -l -m | sed -n 's/^Model: *name = //p' | grep -Ev '^(raw|everywhere|driverless)' |
        LC_ALL=C sort -u
}

# A partial shuffle with the Park-Miller generator, whose products stay exact in the double
# precision that every awk computes in, so any awk picks the same models.
sweep_sample() {  # SEED COUNT
    awk -v seed="$1" -v count="$2" '
        { model[NR] = $0 }
        END {
            state = seed % 2147483647
            if (state <= 0) state += 2147483646
            for (i = 1; i <= count && i <= NR; ++i) {
                state = (state * 16807) % 2147483647
                j = i + int(state / 2147483647 * (NR - i + 1))
                picked = model[j]; model[j] = model[i]
                print picked
            }
        }'
}

# The report's numbers, "WIDTH HEIGHT TOP BOTTOM HALFWIDTH HALFHEIGHT", from its two lines
# "    Width = W     Height = H  TopMargin=  T  BottonMargin=  B" and
# " 1/2Width = W2  1/2Height = H2"; awk reads each number from the front of its field.
sweep_report() {  # OUTPUT_FILE
    tr -d '\r' <"$1" | awk -F= '
        /^ *Width =/ { size = ($2 + 0) " " ($3 + 0) " " ($4 + 0) " " ($5 + 0) }
        /^ *1\/2Width =/ { half = ($2 + 0) " " ($3 + 0) }
        END { if (size != "" && half != "") print size, half }'
}

# Whether the server takes a PDF document for QUEUE, as lp hands it one.
sweep_takes_pdf() {  # QUEUE DIR
    printf '%%PDF-1.4\n%%%%EOF\n' >"$2/probe.pdf"
    lp -d "$1" "$2/probe.pdf" >/dev/null 2>&1
}

sweep_check() {  # PROGRAM MODEL
    local program=$1 model=$2 queue=$SWEEP_QUEUE dir="$CUPS_DIR/sweep"
    local made
    if ! made=$(CUPS_DEVICE=file:///dev/null cups_add_queue "$queue" "$model" 2>&1); then
        echo "skipped $model: ${made//$'\n'/ }"
        return
    fi
    local description exact reported="" strayed
    description=$(ppd_description "$CUPS_DIR/etc/ppd/$queue.ppd")
    if [[ -z $description ]]; then
        echo "skipped $model: its PPD gives no size for its default paper"
        lpadmin -x "$queue"
        return
    fi
    # The program turns the page to portrait; its report gives the printable size and the
    # top and bottom margins, and the halves of the size.
    exact=$(exact_measure "$description" 1 |
        awk '{ printf "%s %s %s %s %.6f %.6f\n", $1, $2, $4, $6, $1 / 2, $2 / 2 }')
    lpadmin -d "$queue"
    cupsdisable "$queue"
    mkdir -p "$dir"
    [[ -f $dir/VIRODARO.CFG ]] || printf '10\r\n-20\r\n' >"$dir/VIRODARO.CFG"
    local status=0
    (cd "$dir" && timeout 120 setsid -w "$program" </dev/null >"$dir/out" 2>&1) || status=$?
    reported=$(sweep_report "$dir/out")
    if [[ -z $reported ]] && ! sweep_takes_pdf "$queue" "$dir"; then
        # A text-only or Braille printer has no filter for a PDF: no program prints there.
        reported=none
    fi
    lpadmin -x "$queue"
    if ((status != 0)); then
        echo "wrong $model: the program ended with status $status"
    elif [[ $reported == none ]]; then
        echo "skipped $model: the queue takes no PDF document"
    elif [[ -z $reported ]]; then
        echo "wrong $model: no report:$(tr -d '\r' <"$dir/out" | grep -m1 'No page' || true)"
    else
        strayed=$(strays "$SWEEP_NAMES" "$exact" "$reported")
        if [[ -z $strayed ]]; then
            echo "right $model"
        else
            echo "wrong $model: $strayed(PPD: $description)"
        fi
    fi
}

# A queue is still made with lpadmin -m, through the server's driver daemon and its own
# handling of a model's PPD; only the driver's unpacking is done beforehand, since the
# collections unpack their whole archive for every queue (a second or two each). A model
# that was not unpacked goes to the driver itself.
sweep_driver_bin() {  # DIR
    local dir=$1 driver name entry
    mkdir -p "$dir/ppd" "$dir/bin/driver"
    chmod 0755 "$dir" "$dir/ppd" "$dir/bin" "$dir/bin/driver"
    for entry in /usr/lib/cups/*; do
        [[ $entry == */driver ]] || ln -s "$entry" "$dir/bin/"
    done
    for driver in /usr/lib/cups/driver/*; do
        name=${driver##*/}
        if grep -q ppds_compressed_b64 "$driver"; then
            # The drivers' own rule for a PPD's name within its archive.
            cat >"$dir/bin/driver/$name" <<DRIVER
#!/bin/sh
if [ "\$1" = cat ]; then
    ppd=\${2##*:}
    unpacked="$dir/ppd/$name/0/\${ppd#*/}"
    if [ -f "\$unpacked" ]; then exec cat "\$unpacked"; fi
fi
exec "$driver" "\$@"
DRIVER
            chmod 0755 "$dir/bin/driver/$name"
        else
            ln -s "$driver" "$dir/bin/driver/$name"
        fi
    done
    export CUPS_SERVER_BIN="$dir/bin"
}

sweep_start() {  # DIR
    sweep_driver_bin "$1/drivers"
    cups_start "$1/cups"
}

sweep_unpack() {  # DIR MODELS
    local here
    here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
    python3 "$here/tools/unpack_ppd_archives.py" /usr/lib/cups/driver "$1/ppd" <"$2"
    chmod -R a+rX "$1/ppd"
}

# The server waits for the driver while it makes a queue (the compressed PPD collections
# unpack their archive for each one), so one server keeps one processor busy: more servers
# make the queues side by side. Each worker takes every WORKERS-th model.
sweep_run() {  # PROGRAM MODELS RESULTS WORKERS
    local program=$1 models=$2 results=$3 workers=$4 i
    local -a pids=()
    for ((i = 0; i < workers; ++i)); do
        awk -v n="$workers" -v i="$i" '(NR - 1) % n == i' "$models" >"$results.models.$i"
        (
            if ((i > 0)); then
                CUPS_PID=""
                CUPS_PDF_CONFIGS=()
                trap cups_stop EXIT
                cups_start "$CUPS_DIR-$i" >/dev/null
            fi
            local checked=0 share
            share=$(wc -l <"$results.models.$i")
            while IFS= read -r model; do
                sweep_check "$program" "$model" | tee -a "$results.$i" | grep -v '^right' || true
                # A long sweep says how far it has come.
                ((++checked % 500 != 0)) || echo "(server $i: $checked of $share models checked)"
            done <"$results.models.$i"
        ) &
        pids+=($!)
        SWEEP_WORKER_PIDS+=($!)
    done
    local failed=0
    for i in "${pids[@]}"; do wait "$i" || failed=1; done
    SWEEP_WORKER_PIDS=()
    cat "$results".[0-9]* >"$results"
    rm -f "$results".[0-9]* "$results".models.*
    return "$failed"
}

# Ends the workers of a sweep that is cut short; each stops its own server as it goes.
sweep_stop() {
    local pid
    for pid in "${SWEEP_WORKER_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${SWEEP_WORKER_PIDS[@]}"; do wait "$pid" 2>/dev/null || true; done
    SWEEP_WORKER_PIDS=()
}
