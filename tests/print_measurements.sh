#!/usr/bin/env bash
# The page measurements of queues made from real drivers, set up as a user sets them up:
# the print server's sample PCL and PostScript drivers at 300 and 600 dpi, on A4 and
# Letter, with a landscape default, a vendor-like PPD whose margins are fractions of a
# point, and an IPP Everywhere printer (ippeveprinter) with margins of its own. Each queue's
# numbers are worked out here from the printer's own description (the PPD the server holds,
# or the printer's IPP attributes) and must match what the printer driver reports: exact
# where the description gives whole pixels, within one pixel otherwise. With the Windows
# build's driver as a second argument, it is checked too on the queues that wine reads
# right (wine prints at 300 dpi whatever the queue's default, and ignores the default
# orientation), and must report what the POSIX build reports there.
set -euo pipefail
posix_probe=$(realpath "$1")
windows_probe=${2:+$(realpath "$2")}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib/check.sh"
source "$here/lib/cups.sh"
source "$here/lib/ipp_printer.sh"
source "$here/lib/wine.sh"

work=$(mktemp -d)
chmod 0755 "$work"
trap 'cups_stop; ipp_printer_stop; rm -rf "$work"' EXIT
cups_start "$work/cups"
id="virodaro$$"

# The IPP printer: A4 by default, with four different margins, at 300 dpi.
cat >"$work/ipp-printer.conf" <<'CONF'
ATTR text printer-make-and-model "Virodaro IPP Printer"
ATTR resolution pwg-raster-document-resolution-supported 300dpi
ATTR keyword pwg-raster-document-type-supported black_1,sgray_8
ATTR resolution printer-resolution-default 300dpi
ATTR resolution printer-resolution-supported 300dpi
ATTR keyword media-default iso_a4_210x297mm
ATTR keyword media-supported iso_a4_210x297mm,na_letter_8.5x11in
ATTR integer media-bottom-margin-supported 635
ATTR integer media-left-margin-supported 423
ATTR integer media-right-margin-supported 500
ATTR integer media-top-margin-supported 300
ATTR collection media-col-default {
  MEMBER collection media-size {
    MEMBER integer x-dimension 21000
    MEMBER integer y-dimension 29700
  }
  MEMBER integer media-bottom-margin 635
  MEMBER integer media-left-margin 423
  MEMBER integer media-right-margin 500
  MEMBER integer media-top-margin 300
}
ATTR collection media-col-database {
  MEMBER collection media-size {
    MEMBER integer x-dimension 21000
    MEMBER integer y-dimension 29700
  }
  MEMBER integer media-bottom-margin 635
  MEMBER integer media-left-margin 423
  MEMBER integer media-right-margin 500
  MEMBER integer media-top-margin 300
}, {
  MEMBER collection media-size {
    MEMBER integer x-dimension 21590
    MEMBER integer y-dimension 27940
  }
  MEMBER integer media-bottom-margin 635
  MEMBER integer media-left-margin 423
  MEMBER integer media-right-margin 500
  MEMBER integer media-top-margin 300
}
CONF
ipp_printer_start "$work/ipp" "$work/ipp-printer.conf"

# Queue, driver, what the user picked, and whether wine reads the queue right ("turned":
# only once the page is turned to portrait, as wine starts it).
queues=(
    "$id-lj300|drv:///sample.drv/laserjet.ppd||wine"
    "$id-lj600-a4|drv:///sample.drv/laserjet.ppd|media=A4 Resolution=600dpi|"
    "$id-ps-a4|drv:///sample.drv/generic.ppd|media=A4|wine"
    "$id-ps-letter-landscape|drv:///sample.drv/generic.ppd|media=Letter orientation-requested-default=4|turned"
    "$id-vendor-a4|$here/ppd/uneven_margins.ppd||"
    "$id-vendor-letter-300|$here/ppd/uneven_margins.ppd|media=Letter Resolution=300dpi|wine"
    "$id-vendor-landscape|$here/ppd/uneven_margins.ppd|Resolution=300dpi orientation-requested-default=4|turned"
    "$id-ipp|everywhere||wine"
)
for entry in "${queues[@]}"; do
    IFS='|' read -r queue model options _ <<<"$entry"
    device=file:///dev/null
    [[ $model == everywhere ]] && device=$IPP_PRINTER_URI
    # shellcheck disable=SC2086 # the options are words
    CUPS_DEVICE=$device cups_add_queue "$queue" "$model" $options
done

# A PPD's default paper: "UNITS WIDTH LENGTH LLX LLY URX URY DPIX DPIY" in points.
ppd_description() {
    awk '
        function quoted(line) { match(line, /"[^"]*"/); return substr(line, RSTART + 1, RLENGTH - 2) }
        function option(word) { sub(/[\/:].*/, "", word); return word }
        /^\*DefaultPageSize:/ { size = $2 }
        /^\*DefaultResolution:/ { resolution = $2 }
        /^\*PaperDimension / { paper[option($2)] = quoted($0) }
        /^\*ImageableArea / { area[option($2)] = quoted($0) }
        END {
            sub(/dpi$/, "", resolution)
            n = split(resolution, dpi, "x")
            if (n == 0) { dpi[1] = 300 }  # a PPD without a resolution prints at 300 dpi
            if (n < 2) { dpi[2] = dpi[1] }
            print 72, paper[size], area[size], dpi[1], dpi[2]
        }' "$1"
}

# An IPP printer's default paper, from the printer itself, in the same form in hundredths of
# millimetres.
ipp_description() {
    ipp_printer_attributes | awk '
        function member(name) { return match(col, name "=[0-9]+") ? substr(col, RSTART + length(name) + 1, RLENGTH - length(name) - 1) : 0 }
        /media-col-default \(collection\)/ { col = $0 }
        /printer-resolution-default \(resolution\)/ { resolution = $NF; sub(/dpi$/, "", resolution) }
        END {
            w = member("x-dimension"); l = member("y-dimension")
            print 2540, w, l, member("media-left-margin"), member("media-bottom-margin"),
                w - member("media-right-margin"), l - member("media-top-margin"), resolution, resolution
        }'
}

# The exact measurements a description gives: "WIDTH HEIGHT LEFT TOP RIGHT BOTTOM PAPERW
# PAPERH DPIX DPIY ORIENTATION" in pixels, as the probe's "measure" reports them. A landscape
# page is the paper turned a quarter counterclockwise, as the server turns it: the paper's
# bottom edge on the left.
exact_measure() {  # DESCRIPTION ORIENTATION
    awk -v orientation="$2" '{
        u = $1; w = $2; l = $3; x0 = $4; y0 = $5; x1 = $6; y1 = $7; sx = $8 / u; sy = $9 / u
        if (orientation == 1) {
            printf "%.6f %.6f %.6f %.6f %.6f %.6f %.6f %.6f %d %d 1\n", (x1 - x0) * sx, (y1 - y0) * sy,
                x0 * sx, (l - y1) * sy, (w - x1) * sx, y0 * sy, w * sx, l * sy, $8, $9
        } else {
            printf "%.6f %.6f %.6f %.6f %.6f %.6f %.6f %.6f %d %d 2\n", (y1 - y0) * sy, (x1 - x0) * sx,
                y0 * sy, x0 * sx, (l - y1) * sy, (w - x1) * sx, l * sy, w * sx, $9, $8
        }
    }' <<<"$1"
}

# The reported numbers that stray: off by a pixel or more, or not exact where the
# description gives a whole pixel. Empty when none does.
strays() {  # EXACT REPORTED
    awk -v exact="$1" -v reported="$2" 'BEGIN {
        split("width height left top right bottom paper-width paper-height dpi-x dpi-y orientation", names)
        n = split(exact, want); split(reported, got)
        for (i = 1; i <= n; ++i) {
            fraction = want[i] - int(want[i])  # every measurement is positive
            whole = fraction < 1e-6 || fraction > 1 - 1e-6
            off = got[i] - want[i]
            if (whole ? (off > 1e-6 || off < -1e-6) : (off >= 1 || off <= -1)) printf "%s %s (is %s) ", names[i], got[i], want[i]
        }
    }'
}

measure_of() { grep -m1 '^measure' <<<"$1" | sed 's/^measure //; s/ error=.*//'; }

table=()
for entry in "${queues[@]}"; do
    IFS='|' read -r queue model options wine <<<"$entry"
    if [[ $model == everywhere ]]; then
        description=$(ipp_description)
    else
        description=$(ppd_description "$CUPS_DIR/etc/ppd/$queue.ppd")
    fi
    orientation=1
    [[ $options == *orientation-requested-default=4* ]] && orientation=2
    exact=$(exact_measure "$description" "$orientation")

    out=$(cd "$work" && "$posix_probe" "attach:$queue" measure release)
    check_eq "posix: $queue is attached" "attached: $queue error=0" "$(grep -m1 '^attached' <<<"$out")"
    posix=$(measure_of "$out")
    check_eq "posix: $queue measures as its description gives it" "" "$(strays "$exact" "$posix")"
    table+=("$queue|$posix|$exact")

    if ((orientation == 2)); then
        # Turned to portrait, the next page measures the paper upright.
        exact=$(exact_measure "$description" 1)
        out=$(cd "$work" && "$posix_probe" "attach:$queue" portrait page measure cancel)
        posix=$(measure_of "$out")
        check_eq "posix: $queue turned to portrait measures as its description gives it" "" \
            "$(strays "$exact" "$posix")"
    fi

    if [[ -n "$windows_probe" && -n "$wine" ]]; then
        steps=(measure release)
        [[ $wine == turned ]] && steps=(portrait page measure cancel)
        out=$(cd "$work" && wine_run "$windows_probe" "attach:$queue" "${steps[@]}" | tr -d '\r')
        windows=$(measure_of "$out")
        check_eq "windows: $queue (${steps[*]}) measures as its description gives it" "" \
            "$(strays "$exact" "$windows")"
        check_eq "both builds measure $queue (${steps[*]}) alike" "$posix" "$windows"
    fi
done

echo "queue | reported (W H L T R B paper-W paper-H dpi-x dpi-y orientation) | description"
printf '%s\n' "${table[@]}" | sed "s/^$id-//; s/|/ | /g"
check_done
