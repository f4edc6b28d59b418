# Runs Windows programs quietly in a wine prefix of the build's own: wine_run PROGRAM ARGS...
# Wine reads the printers through CUPS_SERVER, which the caller must point at a print server
# of the test's own (cups.sh) or at none (no_print_server.sh).
wine_prefix() { echo "$(cd "$(dirname "$1")" && pwd)/wineprefix"; }
wine_run() {
    local program=$1; shift
    CUPS_SERVER="${CUPS_SERVER:?wine_run needs CUPS_SERVER}" \
        WINEPREFIX="$(wine_prefix "$program")" WINEDEBUG=-all \
        WINEDLLOVERRIDES="mscoree,mshtml=" wine "$program" "$@"
}
