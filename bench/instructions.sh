#!/usr/bin/env bash
# The instructions a run executes, counted by valgrind's callgrind: the same count for the same
# binary and input whatever else the machine does. A run with a settings file and no terminal
# prints the page on a private print server with a cups-pdf queue; `lp` hands the PDF of that
# page to the same queue. Each is set against its library floor, an empty program linked with
# the same libraries in the same way, so that what loading the libraries costs (a floor the
# program cannot lower) stands apart from the work the program does. Prints, as tables the
# README can take, the median and the spread of RUNS runs (5) of each, and the instructions
# beyond the floor by library: each library's own code, and the C library's work for it.
#   bench/instructions.sh build/posix/virodaro
set -euo pipefail
program=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../tests/lib/cups.sh"
runs=${RUNS:-5}
command -v valgrind >/dev/null || bash "$here/../scripts/install-deps.sh"
lp_program=$(command -v lp)
# glibc's memcpy moves large blocks with `rep movsb` on this processor, and callgrind counts
# every byte of that as an instruction: with these flags it uses vector instructions instead,
# so that a copy counts about as much as the work it is.
tunables=glibc.cpu.hwcaps=-ERMS:-FSRM:-AVX_Fast_Unaligned_Load

work=$(mktemp -d)
chmod 0755 "$work"
trap 'cups_stop; rm -rf "$work"' EXIT
cups_start "$work/cups"
mkdir -p "$work/run" "$work/file" "$work/counts" "$work/logs"
printf '10\r\n-20\r\n' >"$work/run/VIRODARO.CFG"
cp "$work/run/VIRODARO.CFG" "$work/file/"
# The page as the program sends it: the PDF file destination writes the document a print
# server would get.
(cd "$work/file" && CUPS_SERVER="$work/none.sock" setsid -w "$program" </dev/null >/dev/null)
page=$(ls "$work/file"/*.pdf)

needed() { readelf -d "$1" | sed -n 's/.*(NEEDED).*\[\(.*\)\]$/\1/p'; }

# An empty program that loads what PROGRAM loads, in its order, plus LIBRARIES: position
# independent and bound at start-up as the measured programs are, every library kept though
# nothing in it is used.
floor_program() {  # OUTPUT PROGRAM [LIBRARY...]
    local output=$1 from=$2 soname
    shift 2
    local -a libraries=()
    while IFS= read -r soname; do libraries+=("-l:$soname"); done < <(needed "$from")
    echo 'int main(void) { return 0; }' >"$work/empty.c"
    "${CC:-cc}" -O2 -fPIE -pie -Wl,-z,relro -Wl,-z,now -Wl,--no-as-needed "$work/empty.c" \
        -o "$output" "${libraries[@]}" "$@"
}
floor_program "$work/floor" "$program" -lcups -lcairo -lfontconfig -lfreetype -lstdc++ -lqpdf
floor_program "$work/lp_floor" "$lp_program"

# One run of NAME under callgrind, from the run directory without a terminal, its counts by
# object kept in counts/NAME.RUN.
count() {  # NAME RUN COMMAND...
    local name=$1 run=$2 out="$work/counts/$1.$2"
    shift 2
    (cd "$work/run" && GLIBC_TUNABLES=$tunables setsid -w valgrind --tool=callgrind \
        --callgrind-out-file="$out.callgrind" --compress-strings=no --compress-pos=no \
        --dump-instr=no "$@" </dev/null >/dev/null 2>"$work/logs/$name.$run")
    awk -f "$here/tools/callgrind_objects.awk" "$out.callgrind" >"$out"
    rm "$out.callgrind"
}

# A printing run must have handed its job over, or its count means nothing.
count_printing() {  # NAME RUN COMMAND...
    local jobs
    jobs=$(cups_job_count)
    count "$@"
    if (($(cups_job_count) != jobs + 1)); then
        echo "$1 did not hand its job to the print server" >&2
        cat "$work/logs/$1.$2" >&2
        exit 1
    fi
    cups_jobs_done
}

for ((i = 0; i < runs; i++)); do
    count_printing program "$i" "$program"
    count floor "$i" "$work/floor"
    count_printing lp "$i" "$lp_program" -d "$CUPS_QUEUE" -t lp "$page"
    count lp_floor "$i" "$work/lp_floor"
done

cd "$work/counts"
awk -v runs="$runs" -v program="$(basename "$program")" -f "$here/tools/instruction_tables.awk" \
    program.* floor.* lp.* lp_floor.*
