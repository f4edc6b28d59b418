# Runs Windows programs quietly in a wine prefix of the build's own: wine_run PROGRAM ARGS...
wine_run() {
    local program=$1; shift
    WINEPREFIX="$(cd "$(dirname "$program")" && pwd)/wineprefix" WINEDEBUG=-all \
        WINEDLLOVERRIDES="mscoree,mshtml=" wine "$program" "$@"
}
