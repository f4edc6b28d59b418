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
source "$(dirname "$0")/lib/setup.sh"
test_setup cups ipp_printer ppd_numbers wine
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

# An IPP printer's default paper, from the printer itself, in ppd_description's form, in
# hundredths of millimetres.
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

# The probe's "measure" line, field by field.
measure_names="width height left top right bottom paper-width paper-height dpi-x dpi-y orientation"

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
    check_eq "posix: $queue measures as its description gives it" "" "$(strays "$measure_names" "$exact" "$posix")"
    table+=("$queue|$posix|$exact")

    if ((orientation == 2)); then
        # Turned to portrait, the next page measures the paper upright.
        exact=$(exact_measure "$description" 1)
        out=$(cd "$work" && "$posix_probe" "attach:$queue" portrait page measure cancel)
        posix=$(measure_of "$out")
        check_eq "posix: $queue turned to portrait measures as its description gives it" "" \
            "$(strays "$measure_names" "$exact" "$posix")"
    fi

    if [[ -n "$windows_probe" && -n "$wine" ]]; then
        steps=(measure release)
        [[ $wine == turned ]] && steps=(portrait page measure cancel)
        out=$(cd "$work" && wine_run "$windows_probe" "attach:$queue" "${steps[@]}" | tr -d '\r')
        windows=$(measure_of "$out")
        check_eq "windows: $queue (${steps[*]}) measures as its description gives it" "" \
            "$(strays "$measure_names" "$exact" "$windows")"
        check_eq "both builds measure $queue (${steps[*]}) alike" "$posix" "$windows"
    fi
done

echo "queue | reported (W H L T R B paper-W paper-H dpi-x dpi-y orientation) | description"
printf '%s\n' "${table[@]}" | sed "s/^$id-//; s/|/ | /g"
check_done
