#!/usr/bin/env bash
# Two builds of the POSIX program, for two processors, print the same pages and show the
# same screens. Each runs without a terminal three times, as a service would: without a
# settings file (the page with its centre circles and caption, in the caption's font), with
# the offsets 10 and -20, and with 12.7 and -3.3. With no print server (CUPS_SERVER names a
# socket where nothing listens) each page goes to the "PDF file" destination; the pages are
# rasterised at 150 dpi and must be equal pixel for pixel, the screens byte for byte.
#   tests/same_pages.sh X86_64_PROGRAM OTHER_PROGRAM
set -euo pipefail
native=$(realpath "$1")
other=$(realpath "$2")
source "$(dirname "$0")/lib/setup.sh"
test_setup

settings=(none $'10\r\n-20\r\n' $'12.7\r\n-3.3\r\n')
names=(no-settings 10_-20 12.7_-3.3)

run() {  # DIR PROGRAM SETTINGS: one run in DIR, its page rasterised to DIR/page-1.ppm
    local dir=$1 status=0
    mkdir -p "$dir"
    [[ $3 == none ]] || printf '%s' "$3" >"$dir/VIRODARO.CFG"
    (cd "$dir" && setsid -w "$2" </dev/null >screen 2>errors) || status=$?
    echo "$status" >"$dir/status"
    local pages=("$dir"/*.pdf)
    [[ -e ${pages[0]} ]] && pdftoppm -r 150 "${pages[0]}" "$dir/page"
    echo "${#pages[@]}" >"$dir/pdfs"
}

# Bytes other than white ones in a picture: ink, and a few of the header's.
ink() { tr -d '\377' <"$1" | wc -c; }

for i in "${!names[@]}"; do
    name=${names[i]}
    run "$work/x86_64/$name" "$native" "${settings[i]}"
    run "$work/other/$name" "$other" "${settings[i]}"
    for build in x86_64 other; do
        check_eq "$build, $name: exit 0 and one PDF file" "0 1" \
            "$(cat "$work/$build/$name/status") $(cat "$work/$build/$name/pdfs")"
    done
    check_eq "$name: the x86-64 page has ink on it" yes \
        "$( (($(ink "$work/x86_64/$name/page-1.ppm") > 1000)) && echo yes || echo no)"
    check_eq "$name: the same page, pixel for pixel" "$(md5sum <"$work/x86_64/$name/page-1.ppm")" \
        "$(md5sum <"$work/other/$name/page-1.ppm")"
    check_eq "$name: the same screens, byte for byte" "$(od -An -tx1 "$work/x86_64/$name/screen")" \
        "$(od -An -tx1 "$work/other/$name/screen")"
    check_eq "$name: nothing on standard error" "" "$(cat "$work/other/$name/errors")"
done
# The three pages differ from each other, so the settings file was read and moved the lines.
check_eq "the three runs printed three different pages" 3 \
    "$(md5sum "$work"/x86_64/*/page-1.ppm | awk '{print $1}' | sort -u | wc -l)"
check_done
