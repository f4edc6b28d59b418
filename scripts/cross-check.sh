#!/usr/bin/env bash
# The whole POSIX program for another processor, built as a Debian packager builds it, and
# held to the x86-64 build. For ARCH (arm64 or i386) it installs Debian's cross compiler and
# the ARCH -dev packages of the libraries beside the machine's own (scripts/cross-deps.sh:
# this changes the machine's packages, as multiarch does), builds the posix-ARCH preset
# (the program, the library, every POSIX test) and runs its tests (arm64's under qemu-user,
# i386's on this kernel), runs the number sweep on both processors with one seed and
# compares it block by block, and runs both programs unattended and compares their pages
# pixel for pixel and their screens byte for byte (tests/same_pages.sh). Run as root from
# a clone of the repository; a second run installs nothing. Not part of scripts/test.sh.
#   scripts/cross-check.sh arm64|i386
set -euo pipefail
cd "$(dirname "$0")/.."
arch=${1:-}
case $arch in
  arm64) emulator=(qemu-aarch64) ;;
  i386) emulator=() ;;
  *) echo "usage: scripts/cross-check.sh arm64|i386" >&2; exit 2 ;;
esac
preset=posix-$arch
started=$SECONDS

bash scripts/install-deps.sh
bash scripts/cross-deps.sh "$arch"

source scripts/lib/machine_jobs.sh
machine_jobs_watch

echo "== posix: the x86-64 program and number sweep to compare with"
cmake --preset posix >/dev/null
cmake --build --preset posix --target virodaro number_sweep

echo "== $preset: build"
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
echo "== $preset: test"
ctest --preset "$preset"

echo "== number sweep: $arch against x86-64"
bash tests/number_sweep.sh 256 "$PWD/build/posix/src/number_sweep" \
  "${emulator[@]}" "$PWD/build/$preset/src/number_sweep"

echo "== pages: $arch against x86-64"
program=$PWD/build/$preset/virodaro
[[ ${#emulator[@]} -eq 0 ]] || program=$PWD/build/$preset/emulated/virodaro
bash tests/same_pages.sh "$PWD/build/posix/virodaro" "$program"

echo "cross-check $arch: passed in $((SECONDS - started)) s"
