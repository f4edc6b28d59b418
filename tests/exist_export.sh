#!/usr/bin/env bash
# EXIST called by another program that never ran VIRODARO: a C program loads the library
# (libvirodaro.so with dlopen, or VIRODARO.EXE under wine with LoadLibraryA) and asks about
# a file, a directory, a missing path, a hidden file, a read-only file and patterns. Also
# checks what the library exports.
#
#   exist_export.sh posix LIBVIRODARO.SO EXIST_CALLER
#   exist_export.sh windows VIRODARO.EXE EXIST_CALLER.EXE
# NM, when set, is the nm that reads the library (another processor's, in a cross build).
set -euo pipefail
platform=$1
library=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
caller=$(cd "$(dirname "$3")" && pwd)/$(basename "$3")
source "$(dirname "$0")/lib/setup.sh"
test_setup
mkdir "$work/sub"
: > "$work/VIRODARO.CFG"
: > "$work/OTHER.CFG"
: > "$work/.hidden"
: > "$work/ro.dat"
chmod a-w "$work/ro.dat"

if [[ $platform == posix ]]; then
    check_eq "exported functions" "EXIST virodaro_text_free virodaro_text_new" \
        "$("${NM:-nm}" -D --defined-only "$library" | awk '{print $3}' | sort | xargs)"
    absolute=$work/VIRODARO.CFG
    call() { (cd "$work" && "$caller" "$library" "$@"); }
else
    check_eq "EXIST in the executable's export table" "EXIST" \
        "$(x86_64-w64-mingw32-objdump -p "$library" | grep -ow EXIST | head -1)"
    prefix="$(cd "$(dirname "$library")" && pwd)/wineprefix"
    absolute=$(WINEPREFIX=$prefix winepath -w "$work/VIRODARO.CFG" 2>/dev/null)
    windows_library=$(WINEPREFIX=$prefix winepath -w "$library" 2>/dev/null)
    call() {
        (cd "$work" && WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
            wine "$caller" "$windows_library" "$@" 2>/dev/null | tr -d '\r')
    }
fi

# One answer a line: "-" is the empty text, which continues the last search.
answers=$(call "$absolute" VIRODARO.CFG sub missing .hidden ro.dat "?IRODARO.*" "*.CFG" - - \
    "*.none" -)
check_eq "file, directory, missing, hidden, read-only, patterns, continuations" \
    "-1 -1 -1 0 0 -1 -1 -1 -1 0 0 0" "$(xargs <<<"$answers")"
check_done
