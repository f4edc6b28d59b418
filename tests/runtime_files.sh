#!/usr/bin/env bash
# What the packaged program and library load at run time must come with the package: each
# such file belongs to the package itself or to a package that its Depends bring in,
# directly or through the dependencies of those. Otherwise a fresh system that installs the
# package lacks the file, or finds another in its place (DejaVu Sans for "Arial", 14%
# wider). Checked for the program: the libraries it links, the ones it opens by name, the
# files it opens during a run that prints the page, and the font files that fontconfig
# picks for the faces the page is drawn in ("Arial") and the printer's own face ("Courier
# New"); for the library: what it brings along when another program loads it.
#   tests/runtime_files.sh DEB_DIR
set -euo pipefail
deb_dir=$(realpath "$1")
source "$(dirname "$0")/lib/setup.sh"
test_setup
root=$work/root
for package in "$deb_dir"/*.deb; do dpkg-deb -x "$package" "$root"; done
program_deb=$(ls "$deb_dir"/virodaro_*.deb)
library_deb=$(ls "$deb_dir"/libvirodaro1_*.deb)
libdir=$root/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)

# The packages a package is sure to bring: its own Depends and Pre-Depends and, through
# apt's view of the archive, theirs in turn. A choice of alternatives ("a | b") or of the
# packages that provide a virtual one guarantees none of them: on a fresh system apt takes
# the first (for fontconfig's fonts, DejaVu), which need not be the one the file is in.
needed_packages() {
    local roots
    roots=$( (dpkg-deb -f "$1" Pre-Depends; dpkg-deb -f "$1" Depends) | tr ',' '\n' |
        grep -v '|' | sed 's/(.*//; s/:any//; s/[[:space:]]//g' | grep . | sort -u | xargs)
    # shellcheck disable=SC2086 # one package name a word
    apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts --no-breaks \
        --no-replaces --no-enhances $roots |
        awk '/^[^ ]/ { package = $1; alternative = 0; next }
             /^ [ |](Pre)?Depends: / {
                 chosen = alternative || substr($0, 2, 1) == "|"
                 alternative = substr($0, 2, 1) == "|"
                 if (!chosen && $2 !~ /^</) print package, $2
             }' |
        awk -v roots="$roots" '{ needs[$1] = needs[$1] " " $2 }
            END {
                count = split(roots, queue, " ")
                for (i = 1; i <= count; i++) seen[queue[i]] = 1
                for (next_one = 1; next_one <= count; next_one++) {
                    n = split(needs[queue[next_one]], found, " ")
                    for (j = 1; j <= n; j++)
                        if (!(found[j] in seen)) { seen[found[j]] = 1; queue[++count] = found[j] }
                }
                for (package in seen) print package
            }' | sort
}

# The names a file may be known by to dpkg: as it was opened, through the links to the file
# they name, and under either name of a merged /usr.
aliases() {
    local path
    for path in "$1" "$(readlink -f "$1")"; do
        printf '%s\n' "$path" "${path#/usr}" "/usr$path"
    done
}

# The packages that hold files, one "path TAB package" a line, asked of dpkg at once.
owners() {  # FILE_LIST_FILE
    local file
    # dpkg-query fails for the names it does not know, as most aliases are.
    while read -r file; do aliases "$file"; done <"$1" | sort -u |
        { xargs -d '\n' dpkg-query -S 2>/dev/null || true; } |
        awk '{ split($0, part, ": "); sub(/[:,].*/, "", part[1]); print part[2] "\t" part[1] }'
}

# The libraries a binary asks for by name without linking them (dlopen), where the loader
# finds them for this architecture.
ldconfig -p | awk -v dir="/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/" \
    'index($NF, dir) { print $1, $NF }' >"$work/loader_cache"
opened_by_name() {
    local name
    for name in $(strings -a "$1" | grep -E '^lib[[:alnum:]_.+-]*\.so\.[0-9]+$' | sort -u); do
        awk -v name="$name" '$1 == name { print $2 }' "$work/loader_cache" | head -1
    done
}

# The shared objects and font files a traced run opened. Each thread is traced to a file of
# its own (TRACE.PID): in one file a call that another thread interrupts is cut in two.
opened_in_run() {
    cat "$1".* | sed -n 's/.*open[a-z]*([^"]*"\([^"]*\)".* = [0-9][0-9]*$/\1/p' |
        grep -E '\.so(\.[0-9]+)*$|\.(ttf|otf|ttc|pfb|pfa)$' | sort -u
}

# Checks each file against the packages a package brings: the package's own files (under
# the temporary root) and those of the packages it needs.
check_files() {  # PACKAGE_DEB FILE_LIST_FILE
    local name needed file own alias
    name=$(dpkg-deb -f "$1" Package)
    needed=$(needed_packages "$1")
    owners "$2" >"$work/owners"
    while read -r file; do
        [[ $file == "$root"/* ]] && continue
        own="no package"
        while read -r alias; do
            own=$(awk -F '\t' -v path="$alias" '$1 == path { print $2; exit }' "$work/owners")
            [[ -n $own ]] && break
        done < <(aliases "$file")
        if grep -qx "${own:-no package}" <<<"$needed"; then
            echo "ok: $name brings $file ($own)"
        else
            check_eq "$name depends on the package of $file" "a package $name needs" "${own:-none}"
        fi
    done <"$2"
}

# The program: what ldd resolves, what it opens by name, a traced run without a terminal
# that prints the page with its caption through "PDF file", and the faces' font files.
program=$root/usr/bin/virodaro
mkdir "$work/run"
(cd "$work/run" &&
    setsid -w strace -ff --seccomp-bpf -e trace=open,openat -o "$work/program.trace" \
        "$program" </dev/null >/dev/null 2>&1) || true
check_eq "the traced run printed its page" 1 "$(ls "$work"/run/*.pdf 2>/dev/null | wc -l)"
{
    ldd "$program" | awk '$2 == "=>" && $3 ~ /^\// { print $3 }'
    opened_by_name "$program"
    opened_in_run "$work/program.trace"
    fc-match -f '%{file}\n' Arial
    fc-match -f '%{file}\n' 'Courier New'
} | sort -u >"$work/program.files"
check_eq "the run opened the font fontconfig gives for Arial" yes \
    "$(grep -qxF "$(fc-match -f '%{file}' Arial)" <(opened_in_run "$work/program.trace") &&
        echo yes || echo no)"
check_files "$program_deb" "$work/program.files"

# The library, loaded by another program that calls EXIST.
cc -Wall -Werror -I "$root/usr/include" -o "$work/exist_caller" "$here/tools/exist_caller.c" -ldl
LD_LIBRARY_PATH=$libdir strace -ff --seccomp-bpf -e trace=open,openat -o "$work/library.trace" \
    "$work/exist_caller" libvirodaro.so.1 / >/dev/null
{
    opened_in_run "$work/library.trace"
    opened_by_name "$libdir/libvirodaro.so.1"
} | sort -u >"$work/library.files"
check_eq "the caller loaded the library from the package" yes \
    "$(grep -q "^$libdir/libvirodaro.so.1" "$work/library.files" && echo yes || echo no)"
check_files "$library_deb" "$work/library.files"
check_done
