#!/usr/bin/env bash
# The ZIP for Windows users, made by CPack from the Windows build. Its files stand at its
# top, so that Windows' "Extract All" gives one folder: VIRODARO.EXE, exist.h for programs
# that call EXIST (the C example in WINDOWS.TXT builds against it), WINDOWS.TXT and the
# README. VIRODARO.EXE carries a version resource with the project's version and an
# application manifest (run as invoker, the Windows versions it was made for), is marked
# for address-space randomisation with high-entropy addresses and a non-executable stack,
# has the stack protector's run-time check linked in, and, run under wine with --help,
# ignores the argument and runs as usual.
#   tests/windows_zip.sh WIN32_BUILD_DIR
set -euo pipefail
win32_build=$(realpath "$1")
source "$(dirname "$0")/lib/setup.sh"
test_setup
version=$(dpkg-parsechangelog -l "$here/../packaging/changelog" -SVersion)

cpack --config "$win32_build/CPackConfig.cmake" -G ZIP -B "$work/zip" >"$work/cpack.log" ||
    { cat "$work/cpack.log"; exit 1; }
zip_file=$(ls "$work"/zip/*.zip)
check_eq "the ZIP holds the program, the header, the README and the text for Windows users, at its top" \
    "README.md VIRODARO.EXE WINDOWS.TXT exist.h" "$(unzip -Z1 "$zip_file" | sort | xargs)"
folder=$work/windows
unzip -q "$zip_file" -d "$folder"
check_eq "its exist.h is the library's header, with CR LF line ends" \
    "$(sed 's/$/\r/' "$here/../include/virodaro/exist.h" | md5sum)" "$(md5sum <"$folder/exist.h")"

# The example of WINDOWS.TXT: its declarations at the top of a C file, its statements in
# main.
example=$work/example.c
tr -d '\r' <"$folder/WINDOWS.TXT" | sed -n '/^    #include <windows.h>/,/^    textFree(path);/p' |
    sed 's/^    //' >"$work/example.txt"
{
    grep -E '^(#include|typedef)' "$work/example.txt"
    echo 'int main(void) {'
    grep -vE '^(#include|typedef)' "$work/example.txt"
    echo 'return found; }'
} >"$example"
x86_64-w64-mingw32-gcc -Wall -Werror -I "$folder" -c "$example" -o "$work/example.o" \
    2>"$work/example.log" && built=yes || { built=no; cat "$example" "$work/example.log"; }
check_eq "the example of WINDOWS.TXT builds against the ZIP's exist.h" yes "$built"

exe=$folder/VIRODARO.EXE
x86_64-w64-mingw32-windres -J coff -i "$exe" -O rc -o "$work/resources.rc" 2>"$work/windres.log" ||
    cat "$work/windres.log"
value() { sed -n "s/^ *VALUE \"$1\", \"\\(.*\\)\"$/\\1/p" "$work/resources.rc"; }
check_eq "the version resource names the product, its version and what it is" \
    "VIRODARO|$version|$version|VIRODARO calibration page for cutting paper into four" \
    "$(value ProductName)|$(value ProductVersion)|$(value FileVersion)|$(value FileDescription)"
check_eq "and its numeric version" "FILEVERSION ${version//./, }, 0" \
    "$(grep -o 'FILEVERSION [0-9, ]*[0-9]' "$work/resources.rc" | head -1)"
check_eq "the manifest asks to run as the user who starts it and names Windows 10 and 11" \
    "asInvoker 8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a" \
    "$(grep -o 'level=""[a-zA-Z]*\|8e0f7a12-[0-9a-f-]*' "$work/resources.rc" |
        sed 's/level=""//' | xargs)"
check_eq "VIRODARO.EXE is marked for high-entropy randomised addresses and no executable data" \
    "DYNAMIC_BASE HIGH_ENTROPY_VA NX_COMPAT" \
    "$(x86_64-w64-mingw32-objdump -p "$exe" | grep -owE 'DYNAMIC_BASE|HIGH_ENTROPY_VA|NX_COMPAT' |
        sort | xargs)"
check_eq "and has the stack protector's check linked in" yes \
    "$(grep -qa 'stack smashing detected' "$exe" && echo yes || echo no)"

# Wine's prefix is the build's own; CUPS_SERVER names no print server, so no printer.
mkdir "$folder/run"
set +e
(cd "$folder/run" && WINEPREFIX=$win32_build/wineprefix WINEDEBUG=-all \
    WINEDLLOVERRIDES="mscoree,mshtml=" setsid -w wine "$exe" --help </dev/null >stdout 2>stderr)
status=$?
set -e
check_eq "VIRODARO.EXE --help of the ZIP runs as usual under wine and exits 0" 0 "$status"
check_eq "showing its banner and, at the end, its closing text" $'\xf9 VIRODARO \xf9\r|1' \
    "$(head -1 "$folder/run/stdout")|$(grep -ac 'will Exit Program' "$folder/run/stdout")"
check_done
