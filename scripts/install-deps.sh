#!/usr/bin/env bash
# Installs what building and testing VIRODARO needs, from Debian's packages. Does nothing
# when everything is already there.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config clang libclang-rt-14-dev
  googletest libgtest-dev libbenchmark-dev
  g++-mingw-w64-x86-64 wine wine64
  g++-aarch64-linux-gnu qemu-user
  tmux procps time ncurses-term
  xvfb xdotool xterm rxvt-unicode stterm
  # alacritty loads EGL, Xcursor and XInput when it starts, which its package leaves out.
  alacritty libegl1 libegl-mesa0 libxcursor1 libxi6
  libcups2-dev libcairo2-dev libfreetype-dev libfontconfig-dev libgdk-pixbuf-2.0-dev libpaper-dev
  fontconfig fonts-liberation
  cups cups-daemon cups-client cups-filters cups-ipp-utils dbus-daemon ghostscript
  printer-driver-cups-pdf poppler-utils libqpdf-dev
  # The printer drivers whose models the driver sweep makes queues of: only their PPDs are
  # used (the queues never print), so the drivers that bring no model of their own are left out.
  foomatic-db-compressed-ppds openprinting-ppds printer-driver-hpcups
  printer-driver-postscript-hp printer-driver-gutenprint printer-driver-brlaser
  printer-driver-c2esp printer-driver-dymo printer-driver-escpr printer-driver-foo2zjs
  printer-driver-m2300w printer-driver-ptouch printer-driver-pxljr printer-driver-sag-gdi
  printer-driver-splix
  # The sweep unpacks the compressed PPD collections once with their own Python code; the
  # hostile print server of the tests is a Python program too.
  python3 xz-utils
  dpkg-dev devscripts file lintian man-db groff-base unzip strace
  # bench/instructions.sh counts instructions with callgrind.
  valgrind
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
    missing+=("$package")
done
if ((${#missing[@]} > 0)); then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  # Another install may hold the package database for a while: wait for it, not fail.
  apt-get -o DPkg::Lock::Timeout=900 update -q
  apt-get -o DPkg::Lock::Timeout=900 install -y -q --no-install-recommends "${missing[@]}"
fi
