#!/usr/bin/env bash
# The drawing operations on real pages. The POSIX printer probe draws the program's
# calibration page and a page of every other operation three times: into the built-in "PDF
# file" destination, whose PDF is rasterised at the device's 300 dpi and checked pixel by
# pixel, onto a private print server's cups-pdf queue and onto a PostScript printer made from
# the server's sample driver. What the server's filters made of the pages is checked too:
# vector graphics (the only picture is the one the probe draws) with 2-pixel lines still 2
# pixels wide, also when the PDF file is later printed with lp, and an IPP Everywhere printer
# that takes PDF receives the vector pages themselves. With the Windows build's
# probe as a second argument, the same pages are printed from it under wine to the cups-pdf
# queue, checked at the same places, and compared with the POSIX pages within two pixels.
# (Wine's PostScript driver draws hatches and styled lines its own way, so those are left out
# of the comparison.)
set -euo pipefail
posix_probe=$(realpath "$1")
windows_probe=${2:+$(realpath "$2")}
raster=$(dirname "$posix_probe")/raster_probe
source "$(dirname "$0")/lib/setup.sh"
test_setup cups ipp_printer wine
cups_start "$work/cups"

"$raster" bmp "$work/picture.bmp" 100 50
steps=(calibration caption feed shapes "picture:$work/picture.bmp" release)
# The POSIX runs add a third page: an icon whose right half is transparent but for its top row.
"$raster" ico "$work/icon.ico" 32 32
posix_steps=("${steps[@]:0:${#steps[@]}-1}" feed "picture:$work/icon.ico" release)

# Runs a probe in a directory of its own; Windows ends its lines with CR LF.
run() { local dir=$1; shift; mkdir -p "$dir"; (cd "$dir" && "$@") | tr -d '\r'; }
# The numbers of a probe line after its first word, without the error number.
numbers() { grep -m1 "^$2 " <<<"$1" | sed 's/^[a-z]* //; s/ error=.*//'; }
# How many inked runs a row has between two columns.
inked_runs() { "$raster" runs "$1" "$2" "$3" "$4" | tr ' ' '\n' | grep -c '^d'; }

# Checks that hold on every page the probe printed: $1 names it, $2 and $3 are its two
# rasterised pages, $4 the probe's output, $5 the tolerance for shapes, $6 how far the
# caption's ink may run past its measured width.
check_pages() {
    local name=$1 page=$2 shapes=$3 out=$4 slack=$5 overrun=$6
    # The page is 2479 x 3508 pixels: the cut lines cross at (1240, 1754).
    check_eq "$name: a 2-pixel cut line at y = 1754 darkens rows 1753 and 1754" "1753-1754" \
        "$("$raster" rows "$page" 100 200 1740 1770)"
    check_eq "$name: the vertical cut line darkens columns 1239 and 1240" "1239-1240" \
        "$("$raster" cols "$page" 1000 1100 1230 1250)"
    check_eq "$name: the guide lines lie 1500 pixels above and below" "253-254 3253-3254" \
        "$("$raster" rows "$page" 100 200 240 270) $("$raster" rows "$page" 100 200 3240 3270)"
    check_eq "$name: the marks are at y = 1130 and 2240" "1129-1130 2239-2240" \
        "$("$raster" rows "$page" 30 200 1120 1140) $("$raster" rows "$page" 30 200 2230 2250)"
    check_eq "$name: the marks are grey" "128" "$("$raster" level "$page" 100 1130)"
    # PrnBox (1240 - r, 1754 - r, 1240 + r, 1754 + r): the 2-pixel pen covers the box from
    # one pixel above and left of it to one pixel before its far corner.
    check_near "$name: the circles' boxes match PrnBox (tops, left sides)" \
        "1653 1654 1678 1679 1703 1704 1728 1729 1139 1140 1164 1165 1189 1190 1214 1215" \
        "$("$raster" rows "$page" 1236 1237 1640 1752 | tr -- '-' ' ') $("$raster" cols "$page" 1749 1750 1130 1238 | tr -- '-' ' ')" \
        "$slack"
    local caption=($(numbers "$out" caption))  # x y width height ascent
    local x=${caption[0]} y=${caption[1]} width=${caption[2]} height=${caption[3]} ascent=${caption[4]}
    check_eq "$name: 8-point Arial at 300 dpi measures 37 high, 30 above the baseline" \
        "37 30" "$height $ascent"
    local ink=($("$raster" box "$page" $((x - 5)) $((y - 5)) $((x + width + 5)) $((y + height + 5))))
    local digits=($("$raster" box "$page" "$x" "$y" $((x + 20)) $((y + height))))
    check_near "$name: the caption's ink starts at its position" \
        "$((x + 1)) $((y + 6))" "${ink[0]} ${ink[1]}" 1
    check_near "$name: the caption's ink ends where its measured width does" \
        "$((x + width - 3))" "${ink[2]}" "$overrun"

    check_near "$name: the caption's digits stand on the baseline at y + ascent" \
        "$((y + ascent - 1))" "${digits[3]}" 1

    check_near "$name: the arc runs from the rightmost point up to the topmost" \
        "1498 399 1599 500" "$("$raster" box "$shapes" 1395 395 1605 605)" "$slack"
    check_near "$name: the pie runs from the topmost point to the leftmost" \
        "1699 399 1800 500" "$("$raster" box "$shapes" 1695 395 1905 605)" "$slack"
    check_eq "$name: the alternate rule leaves the star's middle empty, winding fills it" \
        "255 0" "$("$raster" level "$shapes" 1500 800) $("$raster" level "$shapes" 1800 800)"
    check_near "$name: the bitmap is stretched to 200 x 100 pixels" "100 3300 299 3399" \
        "$("$raster" box "$shapes" 90 3290 310 3410)" 1
    check_eq "$name: its left half is red, its right half blue" "77 28" \
        "$("$raster" level "$shapes" 150 3350) $("$raster" level "$shapes" 250 3350)"
}

# The printable area on the paper, "LEFT TOP RIGHT BOTTOM" in pixels, from the probe's
# measure numbers.
printable_area() {
    local measured=($1)
    echo "${measured[2]} ${measured[3]} $((measured[2] + measured[0] - 1)) $((measured[3] + measured[1] - 1))"
}

# The page of every operation across every edge of the printable area (probe steps edges and
# window-edges), rasterised on its paper: $1 names it, $2 is the page, $3 the probe's measure
# numbers. Every operation's ink must reach each edge from inside, so that it was drawn and
# cut there, not left out.
check_edges_reached() {
    local name=$1 page=$2 area=($(printable_area "$3"))
    local left=${area[0]} top=${area[1]} right=${area[2]} bottom=${area[3]}
    # Ten spans of 180 pixels along each edge from 100 on, one for each operation: the ink
    # nearest to the edge in the 70 pixels inside it (of the box left, top, right, bottom).
    local span from edge regions=() want="" got=""
    for span in 0 1 2 3 4 5 6 7 8 9; do
        from=$((100 + 220 * span))
        regions+=($((left + from)) "$top" $((left + from + 179)) $((top + 70)))
        regions+=($((left + from)) $((bottom - 70)) $((left + from + 179)) "$bottom")
        regions+=("$left" $((top + from)) $((left + 70)) $((top + from + 179)))
        regions+=($((right - 70)) $((top + from)) "$right" $((top + from + 179)))
        want+="$top $bottom $left $right "
    done
    got=$("$raster" box "$page" "${regions[@]}" |
        awk '{ printf "%s ", $(NR % 4 == 1 ? 2 : NR % 4 == 2 ? 4 : NR % 4 == 3 ? 1 : 3) }')
    check_eq "$name: line, boxes, ellipse, arc, pie, text, polygon, polyline and picture reach each edge" \
        "$want" "$got"
}
# The same, and nothing may show outside the printable area.
check_edges() {
    local area
    area=$(printable_area "$3")
    check_eq "$1: no ink outside the printable area ($area)" "none" \
        "$("$raster" outside "$2" $area)"
    check_edges_reached "$@"
}

# Rasterises a PDF or PostScript document at $3 dpi into pages $2-1.pgm, $2-2.pgm ... with
# Ghostscript, the renderer of the server's PostScript filters. (Poppler's paints the row and
# column just past the far edges of a clip as well.)
ghostscript_rasterise() {
    gs -q -dSAFER -dNOPAUSE -dBATCH -sDEVICE=pgmraw -r"$3" -sOutputFile="$2-%d.pgm" "$1"
}

# Rasterises a PDF into pages $2-1.pgm and $2-2.pgm.
rasterise() { pdftoppm -r 300 -gray "$1" "$2"; }
# The pictures in a PDF, "PAGE:WIDTHxHEIGHT" each. A page that a filter could not keep as
# vector graphics becomes one picture of the whole page.
pictures() { pdfimages -list "$1" | awk 'NR > 2 { printf "%s%d:%dx%d", sep, $1, $4, $5; sep = " " }'; }
# What a PostScript printer received, made a PDF again so that it can be checked the same way.
postscript_to_pdf() { ps2pdf -dAutoRotatePages=/None "$1" "$2"; }
# n / 2 rounded to the nearest whole number, halves to even, as the probe rounds.
half() {
    local n=$1
    ((n % 2 == 0)) && echo $((n / 2)) || echo $(((n + 1) / 2 % 2 == 0 ? (n + 1) / 2 : (n - 1) / 2))
}

# The POSIX build's own PDF, as it draws it.
direct_out=$(run "$work/direct" "$posix_probe" "attach:PDF file" "${posix_steps[@]}")
check_eq "posix: the pages were drawn without errors" "0" "$(grep -vc 'error=0$' <<<"$direct_out" || true)"
rasterise "$work/direct/virodaro probe.pdf" "$work/direct/page"
check_pages "posix PDF" "$work/direct/page-1.pgm" "$work/direct/page-2.pgm" "$direct_out" 0 0
shapes="$work/direct/page-2.pgm"
for i in 1 2 3 4 5 6; do
    left=$((100 + (i - 1) * 150))
    check_eq "posix PDF: hatch $i repeats every 8 pixels" "8" \
        "$("$raster" period "$shapes" $((left + 5)) 405 $((left + 95)) 495)"
done
check_eq "posix PDF: dash, dot, dash-dot and dash-dot-dot repeat every 24, 6, 24, 24 pixels" \
    "24 6 24 24" "$(for y in 600 620 640 660; do echo -n "$("$raster" period "$shapes" 100 $y 963 $y) "; done | sed 's/ $//')"
check_eq "posix PDF: a dash is 18 pixels and its gap 6" "d18 l6 d18" \
    "$("$raster" runs "$shapes" 600 100 141)"
icon="$work/direct/page-3.pgm"
check_eq "posix PDF: the icon fills 200 x 100 pixels" "100 3300 299 3399" \
    "$("$raster" box "$icon" 90 3290 310 3410)"
check_eq "posix PDF: its left half is red, its masked right half shows the paper but the top row" \
    "77 255 0" "$("$raster" level "$icon" 150 3350) $("$raster" level "$icon" 250 3350) $("$raster" level "$icon" 250 3300)"
check_eq "posix PDF: only the two picture files are pictures, without soft masks" \
    "2:100x50 3:200x100" "$(pictures "$work/direct/virodaro probe.pdf")"

# Damaged, enormous and missing pictures raise 57 and draw nothing.
bad="$work/bad"
mkdir -p "$bad"
head -c 2000 "$work/picture.bmp" >"$bad/truncated.bmp"
head -c 200 /dev/zero >"$bad/zeros.bmp"
"$raster" bmp "$bad/enormous.bmp" 8 8
printf '\xa0\x86\x01\x00\xa0\x86\x01\x00' | dd of="$bad/enormous.bmp" bs=1 seek=18 conv=notrunc 2>/dev/null
out=$(run "$bad" "$posix_probe" "attach:PDF file" picture:truncated.bmp picture:zeros.bmp \
    picture:enormous.bmp picture:missing.bmp release)
check_eq "posix: every bad picture raises 57" "57 57 57 57" \
    "$(grep '^picture' <<<"$out" | sed 's/.*error=//' | tr '\n' ' ' | sed 's/ $//')"
rasterise "$bad/virodaro probe.pdf" "$bad/page"
check_eq "posix: and draws nothing" "none" "$("$raster" box "$bad/page-1.pgm" 0 0 2478 3507)"

# The same pages through the print server, from each build.
out=$(run "$work/posix" "$posix_probe" attach "${posix_steps[@]}")
cups_jobs_done
posix_pdf=$(ls "$CUPS_OUT"/*.pdf)
rasterise "$posix_pdf" "$work/posix/page"
check_pages "posix" "$work/posix/page-1.pgm" "$work/posix/page-2.pgm" "$out" 2 1
check_eq "posix: cups-pdf keeps the pages vector graphics" "2:100x50 3:200x100" \
    "$(pictures "$posix_pdf")"

# A PostScript printer, with the sample driver's own paper (Letter) and margins.
cups_postscript_queue
out=$(run "$work/postscript" "$posix_probe" "attach:$CUPS_POSTSCRIPT_QUEUE" measure "${posix_steps[@]}")
check_eq "postscript: the pages were drawn without errors" "0" "$(grep -vc 'error=0$' <<<"$out" || true)"
cups_jobs_done
postscript_to_pdf "$CUPS_POSTSCRIPT_OUT" "$work/postscript/job.pdf"
# The probe's pictures lie below Letter's printable area: no picture at all.
check_eq "postscript: the printer receives vector graphics" "" \
    "$(pictures "$work/postscript/job.pdf")"
rasterise "$work/postscript/job.pdf" "$work/postscript/page"
measured=($(numbers "$out" measure))  # width height left top ...
across=$((measured[2] + $(half "${measured[0]}"))) down=$((measured[3] + $(half "${measured[1]}")))
check_eq "postscript: the 2-pixel cut lines are 2 pixels wide on the paper" \
    "$((down - 1))-$down $((across - 1))-$across" \
    "$("$raster" rows "$work/postscript/page-1.pgm" 300 400 $((down - 20)) $((down + 20))) $("$raster" cols "$work/postscript/page-1.pgm" 1000 1100 $((across - 20)) $((across + 20)))"

# Drawing past the edges of the printable area: the margins stay blank on the paper, with
# and without a coordinate window.
edges_steps=("edges:$work/picture.bmp" feed "window-edges:$work/picture.bmp" release)
out=$(run "$work/postscript-edges" "$posix_probe" "attach:$CUPS_POSTSCRIPT_QUEUE" measure "${edges_steps[@]}")
check_eq "postscript edges: the pages were drawn without errors" "0" "$(grep -vc 'error=0$' <<<"$out" || true)"
cups_jobs_done
postscript_measure=$(numbers "$out" measure)
measured=($postscript_measure)
ghostscript_rasterise "$CUPS_POSTSCRIPT_OUT" "$work/postscript-edges/page" "${measured[8]}"
for page in 1 2; do
    check_edges "postscript edges page $page" "$work/postscript-edges/page-$page.pgm" "${measured[*]}"
done

# The PDF file, printed later with lp on A4 paper to the PostScript printer.
lp -d "$CUPS_POSTSCRIPT_QUEUE" -o media=A4 "$work/direct/virodaro probe.pdf" >/dev/null
cups_jobs_done
postscript_to_pdf "$CUPS_POSTSCRIPT_OUT" "$work/direct/lp.pdf"
check_eq "PDF file through lp: the printer receives vector graphics" "2:100x50 3:200x100" \
    "$(pictures "$work/direct/lp.pdf")"
rasterise "$work/direct/lp.pdf" "$work/direct/lp"
check_pages "PDF file through lp" "$work/direct/lp-1.pgm" "$work/direct/lp-2.pgm" \
    "$direct_out" 2 1

# An IPP Everywhere printer that takes PDF (ippeveprinter with its own papers and margins),
# added as a user adds one: the document it receives must still be the vector page.
ipp_printer_start "$work/ipp" "" application/pdf,image/pwg-raster
CUPS_DEVICE=$IPP_PRINTER_URI cups_add_queue "virodaro$$-ipp" everywhere
out=$(run "$work/ipp-job" "$posix_probe" "attach:virodaro$$-ipp" measure "${posix_steps[@]}")
check_eq "ipp: the pages were drawn without errors" "0" "$(grep -vc 'error=0$' <<<"$out" || true)"
cups_jobs_done
ipp_document=$(find "$work/ipp/spool" -type f -name '*.pdf' | head -1)
check_eq "ipp: the printer receives a PDF document" "PDF document" \
    "$(file -b "$ipp_document" | grep -o '^PDF document')"
check_eq "ipp: the printer receives vector graphics (no picture but the probe's own)" "" \
    "$(pictures "$ipp_document" | tr ' ' '\n' | grep -v -E '^[0-9]+:(100x50|200x100)$' || true)"
# The server offers such a printer at its highest resolution: the page is checked at it.
measured=($(numbers "$out" measure))  # width height left top right bottom paper-w paper-h dpi-x
pdftoppm -r "${measured[8]}" -gray "$ipp_document" "$work/ipp-job/page"
across=$((measured[2] + $(half "${measured[0]}"))) down=$((measured[3] + $(half "${measured[1]}")))
check_eq "ipp: the 2-pixel cut lines are 2 pixels wide on the paper" \
    "$((down - 1))-$down $((across - 1))-$across" \
    "$("$raster" rows "$work/ipp-job/page-1.pgm" 300 400 $((down - 20)) $((down + 20))) $("$raster" cols "$work/ipp-job/page-1.pgm" 1000 1100 $((across - 20)) $((across + 20)))"

out=$(run "$work/ipp-edges" "$posix_probe" "attach:virodaro$$-ipp" measure "${edges_steps[@]}")
check_eq "ipp edges: the pages were drawn without errors" "0" "$(grep -vc 'error=0$' <<<"$out" || true)"
cups_jobs_done
ipp_document=$(ls -t $(find "$work/ipp/spool" -type f -name '*.pdf') | head -1)
measured=($(numbers "$out" measure))
ghostscript_rasterise "$ipp_document" "$work/ipp-edges/page" "${measured[8]}"
for page in 1 2; do
    check_edges "ipp edges page $page" "$work/ipp-edges/page-$page.pgm" "${measured[*]}"
done

if [[ -n "$windows_probe" ]]; then
    out=$(run "$work/windows" wine_run "$windows_probe" attach "${steps[@]}")
    check_eq "windows: the pages were drawn without errors" "0" "$(grep -vc 'error=0$' <<<"$out" || true)"
    cups_jobs_done
    rasterise "$(ls "$CUPS_OUT"/*.pdf | grep -vxF "$posix_pdf")" "$work/windows/page"
    check_pages "windows" "$work/windows/page-1.pgm" "$work/windows/page-2.pgm" "$out" 2 6
    # At most 1 inked pixel in 100 of either page may lack a counterpart within 2 pixels.
    within() { local r=($1); ((r[1] * 100 <= r[3])) && echo yes || echo "no: $1"; }
    for region in "0 0 2478 3507" "1390 390 2410 910" "90 2390 1200 2960" "90 3290 310 3410"; do
        page=2; [[ $region == "0 0 2478 3507" ]] && page=1
        check_eq "both builds draw page $page's region $region alike" "yes" \
            "$(within "$("$raster" compare "$work/posix/page-$page.pgm" "$work/windows/page-$page.pgm" 2 $region)")"
    done

    # Drawing past the edges, on the printer with margins that wine reads as it describes
    # itself: the PostScript one (wine prints to the IPP printer at 300 dpi, not at its
    # default resolution). Wine's PostScript driver does not clip to the printable area as a
    # Windows printer does: the Windows pages are compared with the POSIX ones inside it.
    out=$(run "$work/windows-postscript-edges" wine_run "$windows_probe" "attach:$CUPS_POSTSCRIPT_QUEUE" measure "${edges_steps[@]}")
    check_eq "windows postscript edges: wine measures the printer as the POSIX build does" \
        "$postscript_measure" "$(numbers "$out" measure)"
    check_eq "windows postscript edges: the pages were drawn without errors" "0" "$(grep -vc 'error=0$' <<<"$out" || true)"
    cups_jobs_done
    measured=($(numbers "$out" measure))
    ghostscript_rasterise "$CUPS_POSTSCRIPT_OUT" "$work/windows-postscript-edges/page" "${measured[8]}"
    for page in 1 2; do
        check_edges_reached "windows postscript edges page $page" \
            "$work/windows-postscript-edges/page-$page.pgm" "${measured[*]}"
        check_eq "both builds draw the edges page $page alike inside the printable area" "yes" \
            "$(within "$("$raster" compare "$work/postscript-edges/page-$page.pgm" \
                "$work/windows-postscript-edges/page-$page.pgm" 2 $(printable_area "${measured[*]}"))")"
    done
fi
check_done
