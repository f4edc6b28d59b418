#!/usr/bin/env bash
# The Debian packages as users get them. CPack makes the three packages from the POSIX
# build: virodaro (the program), libvirodaro1 (the library under its soname, in the
# multiarch directory) and libvirodaro-dev (what building against it needs). lintian, with
# every tag shown and no override honoured, finds no error and no warning; hardening-check
# passes on the program and the library. Unpacked into a temporary root (the machine's own
# package database is not touched), the program runs without a terminal and writes its
# page through the "PDF file" destination, answers --help and --version, and a C program
# built with pkg-config's flags and a CMake project using find_package(virodaro) call the
# library. tests/runtime_files.sh then checks the packages' dependencies against what the
# program and the library load.
#   tests/package.sh POSIX_BUILD_DIR
set -euo pipefail
posix_build=$(realpath "$1")
source "$(dirname "$0")/lib/setup.sh"
test_setup
arch=$(dpkg --print-architecture)
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
version=$(dpkg-parsechangelog -l "$here/../packaging/changelog" -SVersion)
libdir=usr/lib/$multiarch

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

# The files (and links) of a package, one path a line, without the directories.
package_files() { dpkg-deb -c "$1" | awk '$1 !~ /^d/ { sub(/^\./, "", $6); print $6 }' | sort; }

cpack --config "$posix_build/CPackConfig.cmake" -G DEB -B "$work/deb" >"$work/cpack.log" ||
    { cat "$work/cpack.log"; exit 1; }
deb=$work/deb
program=$deb/virodaro_${version}_$arch.deb
library=$deb/libvirodaro1_${version}_$arch.deb
development=$deb/libvirodaro-dev_${version}_$arch.deb
check_eq "three packages of the changelog's version" \
    "$(basename "$development") $(basename "$library") $(basename "$program")" \
    "$(cd "$deb" && ls ./*.deb | xargs -n1 basename | xargs)"

check_eq "virodaro: the program, its manual page and documents" \
    "$(printf '%s\n' /usr/bin/virodaro /usr/share/doc/virodaro/README.md \
        /usr/share/doc/virodaro/changelog.gz /usr/share/doc/virodaro/copyright \
        /usr/share/man/man1/virodaro.1.gz | sort)" "$(package_files "$program")"
check_eq "libvirodaro1: the library and its soname in the multiarch directory" \
    "$(printf '%s\n' "/$libdir/libvirodaro.so.1" "/$libdir/libvirodaro.so.$version" \
        /usr/share/doc/libvirodaro1/changelog.gz /usr/share/doc/libvirodaro1/copyright | sort)" \
    "$(package_files "$library")"
check_eq "libvirodaro-dev: the header, the link, pkg-config's file and the CMake package" \
    "$(printf '%s\n' /usr/include/virodaro/exist.h "/$libdir/libvirodaro.so" \
        "/$libdir/pkgconfig/virodaro.pc" "/$libdir/cmake/virodaro/virodaro-config.cmake" \
        "/$libdir/cmake/virodaro/virodaro-config-version.cmake" \
        "/$libdir/cmake/virodaro/virodaro-targets.cmake" \
        "/$libdir/cmake/virodaro/virodaro-targets-relwithdebinfo.cmake" \
        /usr/share/doc/libvirodaro-dev/changelog.gz /usr/share/doc/libvirodaro-dev/copyright |
        sort)" "$(package_files "$development")"

for package in "$program" "$library" "$development"; do
    name=$(dpkg-deb -f "$package" Package)
    check_eq "$name runs no maintainer script" "" \
        "$(dpkg-deb --ctrl-tarfile "$package" | tar -t | grep -E 'inst$|rm$' || true)"
done
check_eq "the library's loader cache is refreshed by libc's trigger" "activate-noawait ldconfig" \
    "$(dpkg-deb -I "$library" triggers | grep -v '^#')"
check_eq "its shlibs ask for this version or a later one" "libvirodaro 1 libvirodaro1 (>= 1.0.0)" \
    "$(dpkg-deb -I "$library" shlibs)"
check_eq "its symbols file lists what the library exports" \
    "$(dpkg-deb --fsys-tarfile "$library" | tar -xO "./$libdir/libvirodaro.so.$version" \
        >"$work/libvirodaro.so" && nm -D --defined-only "$work/libvirodaro.so" |
        awk '{ print $3 "@Base" }' | sort | xargs)" \
    "$(dpkg-deb -I "$library" symbols | awk '/^ / { print $1 }' | sort | xargs)"
check_eq "the development files are for exactly this library" "libvirodaro1 (= $version)" \
    "$(dpkg-deb -f "$development" Depends)"

# Every tag lintian knows, experimental and pedantic ones included, none overridden.
lintian -EvIL +pedantic --no-override --fail-on none "$program" "$library" "$development" \
    >"$work/lintian.txt" 2>&1
check_eq "lintian finds no error and no warning" "" "$(grep -E '^[EW]: ' "$work/lintian.txt" || true)"
echo "lintian's other tags:"
grep -E '^[A-Z]: ' "$work/lintian.txt" | grep -vE '^[EWN]: ' || echo "  none"

root=$work/root
for package in "$program" "$library" "$development"; do dpkg-deb -x "$package" "$root"; done
check_eq "the library's name for the loader" "libvirodaro.so.1" \
    "$(objdump -p "$root/$libdir/libvirodaro.so" | awk '$1 == "SONAME" { print $2 }')"
# Without control-flow integrity: Debian 12's C library start files carry no such mark, so
# no program linked here can have it, and Debian 12 builds none with it. The library's
# calls to the C library all write through pointers whose buffers the compiler cannot
# measure, so none of them became a __*_chk call, which is all hardening-check counts as
# fortified (its documented false alarm); that its code was built fortified shows in its
# calls of the C library's checking variants of open (__open_2 and the like).
hardening-check --nocfprotection "$root/usr/bin/virodaro" >"$work/hardening.txt" &&
    hardening-check --nocfprotection --nofortify "$root/$libdir/libvirodaro.so.$version" \
        >>"$work/hardening.txt" && hardened=yes || hardened=no
cat "$work/hardening.txt"
check_eq "hardening-check passes on the program and the library" yes "$hardened"
check_eq "the library calls the C library's checking variants of fortified calls" yes \
    "$(nm -D --undefined-only "$root/$libdir/libvirodaro.so.$version" |
        grep -cE ' __[a-z0-9]+_(chk|2)@' >/dev/null && echo yes || echo no)"

# The installed program: no terminal, no print server, so the page becomes a PDF file here.
run_alone "$work/run" "$root/usr/bin/virodaro"
check_eq "the unpacked virodaro exits 0" 0 "$(cat "$work/run/status")"
check_eq "and reports the PDF file destination" "  Printer = PDF file   X = 0   Y = 0" \
    "$(grep -a 'Printer =' "$work/run/stdout" | tr -d '\r')"
check_eq "and wrote its page there as a PDF" "PDF document" \
    "$(file -b "$work"/run/*.pdf 2>/dev/null | cut -d, -f1)"
run_alone "$work/version" "$root/usr/bin/virodaro" --version
check_eq "virodaro --version names the package's version, and ends there" "virodaro $version|0|" \
    "$(cat "$work/version/stdout")|$(cat "$work/version/status")|$(ls "$work/version" | grep -v 'std\|status' || true)"

# A program that loads the installed library by its soname.
cc -Wall -Werror -I "$root/usr/include" -o "$work/exist_caller" "$here/tools/exist_caller.c" -ldl
check_eq "EXIST of the installed library: the page found, a missing file not" "-1 0" \
    "$(cd "$work/run" && LD_LIBRARY_PATH=$root/$libdir "$work/exist_caller" libvirodaro.so.1 \
        '*.pdf' missing.txt | xargs)"

# A program built with pkg-config's flags for the installed files, and linked with them.
flags=$(PKG_CONFIG_SYSROOT_DIR=$root PKG_CONFIG_LIBDIR=$root/$libdir/pkgconfig \
    PKG_CONFIG_ALLOW_SYSTEM_CFLAGS=1 PKG_CONFIG_ALLOW_SYSTEM_LIBS=1 \
    pkg-config --cflags --libs virodaro)
check_eq "pkg-config names the installed header and library" \
    "-I$root/usr/include -L$root/$libdir -lvirodaro" "$(xargs <<<"$flags")"
# shellcheck disable=SC2086 # the flags are words
cc -Wall -Werror -o "$work/exist_linked" "$here/tools/exist_linked.c" $flags
check_eq "the program linked with them finds the page and not a missing file" "-1 0" \
    "$(cd "$work/run" && LD_LIBRARY_PATH=$root/$libdir "$work/exist_linked" '*.pdf' missing.txt |
        xargs)"
# Built against the library, it depends on the library's package from this version on.
dpkg-deb -R "$library" "$work/library_package"
mkdir -p "$work/shlibdeps/debian" && : >"$work/shlibdeps/debian/control"
check_eq "dpkg-shlibdeps gives the program a dependency on this version or a later one" \
    "libvirodaro1 (>= 1.0.0)" \
    "$(cd "$work/shlibdeps" && dpkg-shlibdeps -O -S"$work/library_package" "$work/exist_linked" \
        2>/dev/null | grep -o 'libvirodaro1 ([^)]*)')"

# A CMake project: the package of a compatible version is found, one of another major
# version is not.
consumer() {  # BUILD_DIR WANTED_VERSION
    cmake -S "$here/tools/cmake_consumer" -B "$1" -G Ninja "-DCMAKE_PREFIX_PATH=$root/usr" \
        "-DVIRODARO_WANTED=$2" >"$1.log" 2>&1
}
consumer "$work/consumer" 1.0 || cat "$work/consumer.log"
check_eq "find_package(virodaro 1.0 CONFIG) finds the installed package" \
    "$root/$libdir/cmake/virodaro ($version)" \
    "$(sed -n 's/^-- virodaro package: //p' "$work/consumer.log")"
cmake --build "$work/consumer" >"$work/consumer-build.log" 2>&1 || cat "$work/consumer-build.log"
check_eq "the program linked with virodaro::virodaro finds the page and not a missing file" "-1 0" \
    "$(cd "$work/run" && "$work/consumer/exist_linked" '*.pdf' missing.txt | xargs)"
consumer "$work/consumer2" 2 && status=found || status=refused
check_eq "find_package(virodaro 2 CONFIG) refuses version $version" \
    "refused" "$status"

manual=$root/usr/share/man/man1/virodaro.1.gz
check_eq "the manual page renders" "VIRODARO(1)" \
    "$(MANWIDTH=80 man -l "$manual" 2>&1 | head -1 | awk '{ print $1 }')"
check_eq "groff finds nothing to warn about" "" \
    "$(zcat "$manual" | groff -ww -man -Tutf8 -z 2>&1)"

bash "$here/runtime_files.sh" "$deb" || CHECK_FAILURES=$((CHECK_FAILURES + 1))
check_done
