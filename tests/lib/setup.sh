# The opening that the test scripts share. A script begins
#
#   set -euo pipefail
#   source "$(dirname "$0")/lib/setup.sh"
#   test_setup [LIBRARY...]
#
# (a script elsewhere names its way to this file) and from then on has:
#
#   here          the script's own folder, as an absolute path
#   work          a new temporary directory for the script alone; mode 0755 when cups is
#                 among the libraries, since the print server's filters run as lp and must
#                 reach what lies in it
#   CUPS_SERVER   a socket in $work where nothing listens (lib/no_print_server.sh), so that
#                 no run of either program reaches the machine's own printers; cups_start
#                 points it at the test's own print server instead
#   the assertions of lib/check.sh, and lib/LIBRARY.sh for each LIBRARY named: cups, tmux,
#   wine, ipp_printer, ppd_numbers, driver_sweep (the driver sweep's needs cups and
#   ppd_numbers before it), hostile_cases (needs the driver sweep's before it)
#
#   on_exit COMMAND   run COMMAND (one string, as eval reads it) when the script ends
#
# When the script ends, whatever ends it, the commands given to on_exit run (the last one
# given first), then what the libraries started stops (the driver sweep's workers, the tmux
# server, the IPP printer, the print server), and $work is removed, also where the test took its write permission
# away.

SETUP_LIB_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
SETUP_ON_EXIT=()

test_setup() {
    here=$(cd "$(dirname "$0")" && pwd)
    source "$SETUP_LIB_DIR/check.sh"
    source "$SETUP_LIB_DIR/no_print_server.sh"
    local library
    for library in "$@"; do
        source "$SETUP_LIB_DIR/$library.sh"
    done
    work=$(mktemp -d)
    if [[ " $* " == *" cups "* ]]; then
        chmod 0755 "$work"
    fi
    no_print_server "$work"
    trap setup_exit EXIT
}

on_exit() { SETUP_ON_EXIT=("$1" "${SETUP_ON_EXIT[@]}"); }

setup_exit() {
    local command stop
    for command in "${SETUP_ON_EXIT[@]}"; do
        eval "$command" || true
    done
    for stop in sweep_stop tmux_stop ipp_printer_stop cups_stop; do
        if declare -F "$stop" >/dev/null; then
            "$stop" || true
        fi
    done
    chmod -R u+w "$work" 2>/dev/null || true
    rm -rf "$work"
}
