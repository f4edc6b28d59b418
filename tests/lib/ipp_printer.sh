# An IPP Everywhere printer of the test's own: ippeveprinter on a loopback port, with its
# spool under one directory and its papers and margins from an attributes file. It gets a
# private message bus beside it, because ippeveprinter will not start without one even
# when, as here, it announces nothing on the network.
#
#   ipp_printer_start DIR ATTRIBUTES [FORMATS]
#                                      start it, keeping each job's document in DIR/spool;
#                                      sets IPP_PRINTER_URI. Without an ATTRIBUTES file it
#                                      has ippeveprinter's own papers and margins and takes
#                                      the document FORMATS (ippeveprinter takes the two
#                                      only one at a time)
#   ipp_printer_attributes             what the printer says about itself (ipptool -v)
#   ipp_printer_stop                   stop it and its bus (the caller's EXIT trap should run it)

IPP_PRINTER_PID=""
IPP_BUS_PID=""

ipp_printer_start() {
    local dir=$1 attempt port deadline
    local -a description=(-a "$2")
    [[ -n $2 ]] || description=(-f "$3")
    mkdir -p "$dir/spool"
    IPP_PRINTER_REQUEST="$dir/get-attributes.test"
    cat >"$IPP_PRINTER_REQUEST" <<'TEST'
{
    NAME "The printer's description"
    OPERATION Get-Printer-Attributes
    GROUP operation-attributes-tag
    ATTR charset attributes-charset utf-8
    ATTR naturalLanguage attributes-natural-language en
    ATTR uri printer-uri $uri
    ATTR keyword requested-attributes all
    STATUS successful-ok
}
TEST
    dbus-daemon --session --nofork --address="unix:path=$dir/bus" >"$dir/bus.log" 2>&1 &
    IPP_BUS_PID=$!
    deadline=$((SECONDS + 10))
    until [[ -S "$dir/bus" ]]; do
        ((SECONDS < deadline)) || { echo "the message bus did not start" >&2; return 1; }
        sleep 0.1
    done
    # A port that another program holds makes the printer exit: then the next one is tried.
    for attempt in 1 2 3 4 5; do
        port=$((20000 + RANDOM % 20000))
        DBUS_SYSTEM_BUS_ADDRESS="unix:path=$dir/bus" ippeveprinter -r off -n localhost \
            -p "$port" -d "$dir/spool" -k "${description[@]}" "virodaro-ipp-$$" >"$dir/printer.log" 2>&1 &
        IPP_PRINTER_PID=$!
        IPP_PRINTER_URI="ipp://localhost:$port/ipp/print"
        deadline=$((SECONDS + 10))
        while kill -0 "$IPP_PRINTER_PID" 2>/dev/null && ((SECONDS < deadline)); do
            if ipptool -q -T 2 "$IPP_PRINTER_URI" "$IPP_PRINTER_REQUEST" 2>/dev/null; then
                export IPP_PRINTER_URI
                return 0
            fi
            sleep 0.2
        done
        ipp_printer_stop_printer
    done
    echo "ippeveprinter did not start" >&2
    cat "$dir/printer.log" >&2
    return 1
}

ipp_printer_attributes() { ipptool -t -v "$IPP_PRINTER_URI" "$IPP_PRINTER_REQUEST"; }

ipp_printer_stop_printer() {
    if [[ -n "$IPP_PRINTER_PID" ]]; then
        kill "$IPP_PRINTER_PID" 2>/dev/null || true
        wait "$IPP_PRINTER_PID" 2>/dev/null || true
        IPP_PRINTER_PID=""
    fi
}

ipp_printer_stop() {
    ipp_printer_stop_printer
    if [[ -n "$IPP_BUS_PID" ]]; then
        kill "$IPP_BUS_PID" 2>/dev/null || true
        wait "$IPP_BUS_PID" 2>/dev/null || true
        IPP_BUS_PID=""
    fi
}
