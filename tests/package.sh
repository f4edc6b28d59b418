#!/usr/bin/env bash
# The packages as users get them. CPack makes the Debian package from the POSIX build;
# lintian must find no error in it. Unpacked into a temporary root (the machine's own
# package database is not touched), its virodaro runs without a terminal and writes its
# page through the "PDF file" destination, its library answers a C program built with its
# header, and its manual page renders without a warning. With the Windows build as second
# argument, CPack makes the ZIP from it, and the VIRODARO.EXE in the ZIP runs under wine.
#   tests/package.sh POSIX_BUILD_DIR [WIN32_BUILD_DIR]
set -euo pipefail
posix_build=$(realpath "$1")
win32_build=${2:+$(realpath "$2")}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib/check.sh"
source "$here/lib/no_print_server.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
no_print_server "$work"

# Runs a program without a terminal in a directory of its own; its output goes to stdout
# there, its exit code to status.
run_alone() {
    local dir=$1
    shift
    mkdir -p "$dir"
    set +e
    (cd "$dir" && setsid -w "$@" >stdout </dev/null 2>stderr)
    echo $? >"$dir/status"
    set -e
}

cpack --config "$posix_build/CPackConfig.cmake" -G DEB -B "$work/deb" >"$work/cpack.log" ||
    { cat "$work/cpack.log"; exit 1; }
package=$(ls "$work"/deb/*.deb)
check_eq "one Debian package" "virodaro_amd64.deb" \
    "$(dpkg-deb -f "$package" Package)_$(dpkg-deb -f "$package" Architecture).deb"
check_eq "its dependencies include the print server's and cairo's libraries" "libcairo2 libcups2" \
    "$(dpkg-deb -f "$package" Depends | grep -o 'libc[a-z]*2' | sort | xargs)"
lintian_out=$(lintian --fail-on error "$package" 2>&1) && lintian_status=0 || lintian_status=$?
check_eq "lintian finds no error" "0 0" \
    "$lintian_status $(grep -c '^E:' <<<"$lintian_out" || true)"
grep '^[EW]:' <<<"$lintian_out" || true

root=$work/root
dpkg-deb -x "$package" "$root"
check_eq "the library's name for the loader" "libvirodaro.so.1" \
    "$(objdump -p "$root/usr/lib/libvirodaro.so" | awk '$1 == "SONAME" { print $2 }')"
for file in usr/bin/virodaro usr/include/virodaro/exist.h usr/share/man/man1/virodaro.1.gz \
    usr/share/doc/virodaro/README.md usr/share/doc/virodaro/copyright; do
    check_eq "the package holds /$file" yes "$([[ -f $root/$file ]] && echo yes || echo no)"
done

# The installed program: no terminal, no print server, so the page becomes a PDF file here.
run_alone "$work/run" "$root/usr/bin/virodaro"
check_eq "the unpacked virodaro exits 0" 0 "$(cat "$work/run/status")"
check_eq "and reports the PDF file destination" "  Printer = PDF file   X = 0   Y = 0" \
    "$(grep -a 'Printer =' "$work/run/stdout" | tr -d '\r')"
check_eq "and wrote its page there as a PDF" "PDF document" \
    "$(file -b "$work"/run/*.pdf 2>/dev/null | cut -d, -f1)"

# Another program built against the installed header loads the library by its soname.
cc -Wall -Werror -I "$root/usr/include" -o "$work/exist_caller" "$here/tools/exist_caller.c" -ldl
check_eq "EXIST of the installed library: the page found, a missing file not" "-1 0" \
    "$(cd "$work/run" && LD_LIBRARY_PATH=$root/usr/lib "$work/exist_caller" libvirodaro.so.1 \
        '*.pdf' missing.txt | xargs)"

manual=$root/usr/share/man/man1/virodaro.1.gz
check_eq "the manual page renders" "VIRODARO(1)" \
    "$(MANWIDTH=80 man -l "$manual" 2>&1 | head -1 | awk '{ print $1 }')"
check_eq "groff finds nothing to warn about" "" \
    "$(zcat "$manual" | groff -ww -man -Tutf8 -z 2>&1)"

if [[ -n $win32_build ]]; then
    cpack --config "$win32_build/CPackConfig.cmake" -G ZIP -B "$work/zip" >"$work/cpack.log" ||
        { cat "$work/cpack.log"; exit 1; }
    zip_file=$(ls "$work"/zip/*.zip)
    check_eq "the ZIP holds the program, the README and the text for Windows users" \
        "README.md VIRODARO.EXE WINDOWS.TXT" \
        "$(unzip -Z1 "$zip_file" | grep -v '/$' | xargs -n1 basename | sort | xargs)"
    unzip -q "$zip_file" -d "$work/windows"
    exe=$(find "$work/windows" -name VIRODARO.EXE)
    # Wine's prefix is the build's own; CUPS_SERVER names no print server, so no printer.
    run_alone "$work/windows/run" env "WINEPREFIX=$win32_build/wineprefix" WINEDEBUG=-all \
        "WINEDLLOVERRIDES=mscoree,mshtml=" wine "$exe"
    check_eq "the VIRODARO.EXE of the ZIP exits 0 under wine" 0 "$(cat "$work/windows/run/status")"
    check_eq "and shows its banner and, at the end, its closing text" $'\xf9 VIRODARO \xf9\r|1' \
        "$(head -1 "$work/windows/run/stdout")|$(grep -ac 'will Exit Program' "$work/windows/run/stdout")"
fi
check_done
