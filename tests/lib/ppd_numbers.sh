# The numbers a printer's own description gives for its default paper, worked out here
# independently of the programs, and the rule a reported measurement must keep: exact where
# the description gives a whole number of pixels, within one pixel otherwise.
#
#   ppd_description PPD        the PPD's default paper at its default resolution:
#                              "72 WIDTH LENGTH LLX LLY URX URY DPIX DPIY" in points;
#                              empty when the PPD gives no size for its default paper
#   exact_measure DESCRIPTION ORIENTATION
#                              the exact measurements a description gives, in pixels:
#                              "WIDTH HEIGHT LEFT TOP RIGHT BOTTOM PAPERW PAPERH DPIX DPIY
#                              ORIENTATION" (1 portrait, 2 landscape)
#   strays NAMES EXACT REPORTED
#                              the reported numbers that stray from the exact ones, each
#                              named after its place in NAMES; empty when none does

ppd_description() {
    awk '
        # The value is the quoted text that ends the line: a translation before it may hold
        # quotes of its own (4.00x5.00" on Zebra labels, 1/2" Label on DYMO ones).
        function quoted(line) {
            sub(/[ \t]*$/, "", line)
            return match(line, /"[^"]*"$/) ? substr(line, RSTART + 1, RLENGTH - 2) : ""
        }
        function option(word) { sub(/[\/:].*/, "", word); return word }
        { sub(/\r$/, "") }  # PPDs written on DOS keep their CR LF line ends
        /^\*DefaultPageSize:/ { size = $2 }
        /^\*DefaultResolution:/ { resolution = $2 }
        /^\*PaperDimension / { paper[option($2)] = quoted($0) }
        /^\*ImageableArea / { area[option($2)] = quoted($0) }
        END {
            if (!(size in paper) || !(size in area)) exit
            sub(/dpi$/, "", resolution)
            n = split(resolution, dpi, "x")
            if (n == 0) { dpi[1] = 300 }  # a PPD without a resolution prints at 300 dpi
            if (n < 2) { dpi[2] = dpi[1] }
            print 72, paper[size], area[size], dpi[1], dpi[2]
        }' "$1"
}

# A landscape page is the paper turned a quarter counterclockwise, as the print server turns
# it: the paper's bottom edge on the left.
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

strays() {  # NAMES EXACT REPORTED
    awk -v names="$1" -v exact="$2" -v reported="$3" 'BEGIN {
        split(names, name); n = split(exact, want); split(reported, got)
        for (i = 1; i <= n; ++i) {
            fraction = want[i] - int(want[i])  # every measurement is positive
            whole = fraction < 1e-6 || fraction > 1 - 1e-6
            off = got[i] - want[i]
            if (got[i] == "" || (whole ? (off > 1e-6 || off < -1e-6) : (off >= 1 || off <= -1)))
                printf "%s %s (is %s) ", name[i], got[i], want[i]
        }
    }'
}
