#!/usr/bin/env bash
# The Debian packages are the same bytes wherever they were built. The source tree is
# copied into a temporary directory and the packaged targets are built there with the same
# preset; both builds' packages are made with the same SOURCE_DATE_EPOCH (the changelog's
# date) and compared byte for byte. Where they differ, the files that differ are named.
#   tests/reproducible.sh SOURCE_DIR POSIX_BUILD_DIR
set -euo pipefail
source_dir=$(realpath "$1")
posix_build=$(realpath "$2")
source "$(dirname "$0")/lib/setup.sh"
test_setup
SOURCE_DATE_EPOCH=$(dpkg-parsechangelog -l "$source_dir/packaging/changelog" -STimestamp)
export SOURCE_DATE_EPOCH

copy=$work/elsewhere/virodaro
mkdir -p "$copy"
tar -C "$source_dir" --exclude=./build --exclude=./.git -c . | tar -C "$copy" -x
(
    cd "$copy"
    cmake --preset posix >"$work/configure.log" 2>&1 || { cat "$work/configure.log"; exit 1; }
    # What the packages hold, and nothing else.
    cmake --build --preset posix --target virodaro virodaro_library compressed_docs \
        >"$work/build.log" 2>&1 || { cat "$work/build.log"; exit 1; }
)
for build in "$posix_build" "$copy/build/posix"; do
    name=$([[ $build == "$posix_build" ]] && echo here || echo elsewhere)
    cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/$name" >"$work/cpack.log" 2>&1 ||
        { cat "$work/cpack.log"; exit 1; }
done

packages=$(cd "$work/here" && ls ./*.deb | xargs -n1 basename)
check_eq "both builds made the same packages" "$packages" \
    "$(cd "$work/elsewhere" && ls ./*.deb | xargs -n1 basename)"
for package in $packages; do
    if cmp -s "$work/here/$package" "$work/elsewhere/$package"; then
        check_eq "$package is the same from $source_dir and from $copy" same same
    else
        mkdir -p "$work/unpacked/here/$package" "$work/unpacked/elsewhere/$package"
        dpkg-deb -R "$work/here/$package" "$work/unpacked/here/$package"
        dpkg-deb -R "$work/elsewhere/$package" "$work/unpacked/elsewhere/$package"
        differences=$(diff -rq "$work/unpacked/here/$package" \
            "$work/unpacked/elsewhere/$package" || true)
        check_eq "$package is the same from $source_dir and from $copy" "" \
            "${differences:-the same files, packed differently}"
    fi
done
check_done
