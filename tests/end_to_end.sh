#!/usr/bin/env bash
# The whole program as a user meets it, in a real terminal (tmux) with a private print
# server: a newcomer's first run (type the offsets, print, save), then the second run with
# the saved file. The printed page is rasterised and its lines, circles and caption must lie
# at the pixels that the report's measurements and the offsets predict. With the Windows
# program as second argument the same two runs happen under wine, on the same queue, and
# the two builds must report the same lines and print pages that agree within 2 pixels.
#   tests/end_to_end.sh POSIX_PROGRAM [WINDOWS_PROGRAM]
set -euo pipefail
posix_program=$(realpath "$1")
windows_program=${2:+$(realpath "$2")}
raster="$(dirname "$posix_program")/raster_probe"
source "$(dirname "$0")/lib/setup.sh"
test_setup cups tmux wine
cups_start "$work/cups"
tmux_start 100 40

# The offsets typed at the first run: X moves the horizontal lines down, Y the vertical one
# right. On the 2479 x 3508 queue the cut lines then cross at (1240 - 20, 1754 + 10).
X=10
Y=-20
cx=$((1240 + Y))
cy=$((1754 + X))

# Runs NAME's program in its own directory, answering the prompts when they come; $1 first
# or second. The command line is given by the caller as the remaining arguments.
run_program() {
    local name=$1 round=$2
    shift 2
    # The last run's closing screen must be gone before this run's is awaited.
    tmux_type "clear"
    local waited=0
    while tmux_screen | grep -q "will Exit Program"; do
        ((waited++ < 100)) || { echo "the screen was not cleared" >&2; return 1; }
        sleep 0.1
    done
    tmux_type "clear; cd $work/$name && CUPS_SERVER=$CUPS_SERVER $*; echo END-$name-$round"


    if [[ $round == first ]]; then
        tmux_wait_for "X axis:"
        tmux_cmd send-keys -t 0 -l -- "$X"
        tmux_cmd send-keys -t 0 Enter
        tmux_wait_for "Y axis:"
        tmux_cmd send-keys -t 0 -l -- "$Y"
        tmux_cmd send-keys -t 0 Enter
        tmux_wait_for "Save setting"
        tmux_cmd send-keys -t 0 y Enter
    fi
    tmux_wait_for "will Exit Program"
    tmux_screen >"$work/$name/$round.screen"
    # Wine's console can lose a key typed while it is still setting itself up, which the
    # second run (no prompts) reaches within a moment of starting: press Enter again then.
    local presses=0
    until tmux_screen | grep -q "^END-$name-$round"; do
        ((presses++ < 5)) || { tmux_wait_for "^END-$name-$round"; break; }
        tmux_cmd send-keys -t 0 Enter
        sleep 2
    done

    cups_jobs_done
    # The newest PDF of the server is this run's page.
    pdftoppm -r 300 -gray -singlefile "$(ls -t "$CUPS_OUT"/*.pdf | head -1)" "$work/$name/$round"
}

report() { grep -E '^ *(Width|1/2Width|Printer) ' "$1"; }

# Where the report and the offsets say the drawing is, on PAGE (a PGM file).
check_page() {
    local name=$1 page=$2 circles=$3
    check_eq "$name: the horizontal cut line darkens rows $((cy - 1))-$cy" "$((cy - 1))-$cy" \
        "$("$raster" rows "$page" 100 200 $((cy - 15)) $((cy + 15)))"
    check_eq "$name: the vertical cut line darkens columns $((cx - 1))-$cx" "$((cx - 1))-$cx" \
        "$("$raster" cols "$page" 1000 1100 $((cx - 15)) $((cx + 15)))"
    check_eq "$name: the red guide lines lie 1500 pixels above and below" \
        "$((cy - 1501))-$((cy - 1500)) $((cy + 1499))-$((cy + 1500))" \
        "$("$raster" rows "$page" 100 200 $((cy - 1520)) $((cy - 1480))) $("$raster" rows "$page" 100 200 $((cy + 1480)) $((cy + 1520)))"
    # The marks take the offsets the other way round: X across, Y down.
    check_eq "$name: the grey marks run from x = X + 25 at y = Y + 1130 and Y + 2240" \
        "$((X + 25 - 1)) $((1130 + Y - 1)) $((X + 250)) $((1130 + Y))|$((2240 + Y - 1))-$((2240 + Y))" \
        "$("$raster" box "$page" 0 $((1130 + Y - 10)) 400 $((1130 + Y + 10)))|$("$raster" rows "$page" 100 200 $((2240 + Y - 10)) $((2240 + Y + 10)))"
    if [[ $circles == yes ]]; then
        # Wine's printer driver may reach one pixel further at the far corner.
        check_near "$name: the largest circle's ink fills PrnBox's square around the crossing" \
            "$((cx - 101)) $((cy - 101)) $((cx + 99)) $((cy + 99))" \
            "$("$raster" box "$page" $((cx - 110)) $((cy - 110)) $((cx - 5)) $((cy - 5)) | cut -d' ' -f1-2) $("$raster" box "$page" $((cx + 5)) $((cy + 5)) $((cx + 110)) $((cy + 110)) | cut -d' ' -f3-4)" 1

        local caption=($("$raster" box "$page" $((cx + 110)) $((cy + 10)) $((cx + 500)) $((cy + 70))))
        # Its first glyph's ink starts a pixel in, and the tallest glyphs' about 6 below the
        # top of the text cell; how a glyph falls on the pixel grid may move it by one.
        check_near "$name: the caption's ink starts 125 right of and 25 below the crossing" \
            "$((cx + 126)) $((cy + 31))" "${caption[0]} ${caption[1]}" 1
    else
        check_eq "$name: no circles and no caption" "none" \
            "$("$raster" box "$page" $((cx + 5)) $((cy + 5)) $((cx + 500)) $((cy + 110)))"
    fi
}

# One build's two runs: the first types, prints and saves; the second reads the file.
exercise() {
    local name=$1
    shift
    mkdir -p "$work/$name"
    run_program "$name" first "$@"
    check_eq "$name: the first run saved the offsets" "$(printf '%s\r\n%s\r\n' "$X" "$Y" | od -An -tx1)" \
        "$(od -An -tx1 "$work/$name/VIRODARO.CFG")"
    check_eq "$name: and said so" "1" "$(grep -c '^ ....Saved VIRODARO.CFG File.$' "$work/$name/first.screen")"
    check_eq "$name: the report's first line" \
        "    Width = 2479     Height = 3508  TopMargin=  0  BottonMargin=  0" \
        "$(grep '^    Width' "$work/$name/first.screen")"
    check_page "$name first run" "$work/$name/first.pgm" yes

    run_program "$name" second "$@"
    check_eq "$name: the second run shows the saved offsets" "   setting  X = $X     Y = $Y" \
        "$(grep '^   setting' "$work/$name/second.screen")"
    check_eq "$name: and asks no question" "0" "$(grep -c 'Save setting' "$work/$name/second.screen" || true)"
    check_page "$name second run" "$work/$name/second.pgm" no
}

exercise posix "$posix_program"

if [[ -n "$windows_program" ]]; then
    exercise windows "WINEPREFIX=$(wine_prefix "$windows_program") WINEDEBUG=-all" \
        "WINEDLLOVERRIDES=mscoree,mshtml= wine $windows_program"
    check_eq "both builds report the same lines" "$(report "$work/posix/first.screen")" \
        "$(report "$work/windows/first.screen" | sed 's/PDF file//')"
    for round in first second; do
        result=($("$raster" compare "$work/posix/$round.pgm" "$work/windows/$round.pgm" 2))
        check_eq "both builds print the $round page alike (at most 1 inked pixel in 100 unmatched)" \
            "yes" "$( ((result[1] * 100 <= result[3])) && echo yes || echo "no: ${result[*]}")"
    done
fi
check_done
