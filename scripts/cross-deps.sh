#!/usr/bin/env bash
# Installs what the whole POSIX program's cross build for ARCH (arm64 or i386) needs, as a
# packager installs it: Debian's cross compiler, and the -dev packages of the libraries the
# program links, for ARCH, beside the machine's own (multiarch). Does nothing when
# everything is already there.
#
# This changes the machine's packages: it adds ARCH to dpkg's architectures, and multiarch
# wants a library in the same version for every architecture, so installing the ARCH ones
# may upgrade the machine's own copies to the archive's versions. scripts/cross-check.sh
# runs it; scripts/install-deps.sh (which CI runs) never does.
#   scripts/cross-deps.sh ARCH
set -euo pipefail
arch=${1:?usage: cross-deps.sh arm64|i386}

case $arch in
  arm64) compiler=g++-aarch64-linux-gnu triplet=aarch64-linux-gnu ;;
  i386) compiler=g++-i686-linux-gnu triplet=i386-linux-gnu ;;
  *) echo "cross-deps.sh: no cross build for $arch (arm64 or i386)" >&2; exit 2 ;;
esac

# What src/platform/posix links, and pkgconf, whose ARCH package brings the
# <gnu-type>-pkg-config that finds ARCH's .pc files.
libraries=(libcups2-dev libcairo2-dev libfreetype-dev libfontconfig-dev
  libgdk-pixbuf-2.0-dev libpaper-dev libqpdf-dev pkgconf)
# The emulator runs arm64's programs; an i386 program runs on the x86-64 kernel itself.
native=("$compiler")
[[ $arch == arm64 ]] && native+=(qemu-user)

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

missing=()
for package in "${native[@]}"; do installed "$package" || missing+=("$package"); done
for package in "${libraries[@]}"; do installed "$package:$arch" || missing+=("$package:$arch"); done

if ((${#missing[@]} > 0)); then
  echo "Installing for $arch: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  if ! dpkg --print-foreign-architectures | grep -qx "$arch"; then
    dpkg --add-architecture "$arch"
  fi
  # Another install may hold the package database for a while: wait for it, not fail.
  apt-get -o DPkg::Lock::Timeout=900 update -q
  apt-get -o DPkg::Lock::Timeout=900 install -y -q --no-install-recommends "${missing[@]}"
fi

# gdk-pixbuf's post-install step lists its loaders by running its ARCH program; without
# the emulator registered with the kernel an arm64 program cannot run there, and the list
# stays empty, so no picture could be read. It is made again under qemu-user.
pixbuf=/usr/lib/$triplet/gdk-pixbuf-2.0
if [[ $arch == arm64 ]] && ! grep -q 'libpixbufloader-bmp' "$pixbuf/2.10.0/loaders.cache" 2>/dev/null; then
  echo "Listing gdk-pixbuf's $arch loaders under qemu-user"
  qemu-aarch64 "$pixbuf/gdk-pixbuf-query-loaders" --update-cache
fi
