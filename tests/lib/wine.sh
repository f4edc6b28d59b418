# Runs Windows programs quietly in a wine prefix of the build's own: wine_run PROGRAM ARGS...
wine_prefix() { echo "$(cd "$(dirname "$1")" && pwd)/wineprefix"; }
wine_run() {
    local program=$1; shift
    WINEPREFIX="$(wine_prefix "$program")" WINEDEBUG=-all \
        WINEDLLOVERRIDES="mscoree,mshtml=" wine "$program" "$@"
}
