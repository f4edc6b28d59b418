#!/usr/bin/env bash
# Installs what is needed, builds both platforms (and the sanitized and fuzzing native
# builds, and the logic for arm64) and runs every test: unit tests natively, under the
# sanitizers, under wine and, for arm64, under qemu-user, the number sweep on x86-64 and
# arm64 compared, the fuzz targets for a few seconds each, the terminal tests, the printer
# against a private print server, the drawing on rasterised pages, the two programs against
# each other, and both whole programs end to end in a terminal with a print server.
# Afterwards it checks that no test handed a job to the machine's own print server.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

source scripts/lib/machine_jobs.sh
machine_jobs_watch

for preset in posix posix-asan fuzz win32 arm64; do
  echo "== $preset: build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  echo "== $preset: test"
  ctest --preset "$preset"
done

echo "== number sweep: arm64 against x86-64"
bash tests/number_sweep.sh 256 "$PWD/build/posix/src/number_sweep" \
  qemu-aarch64 "$PWD/build/arm64/src/number_sweep"

echo "== both builds"
bash tests/both_builds.sh "$PWD/build/posix/virodaro" "$PWD/build/win32/VIRODARO.EXE"
bash tests/print_server.sh "$PWD/build/posix/printer_probe" "$PWD/build/win32/printer_probe.exe"
bash tests/print_measurements.sh "$PWD/build/posix/printer_probe" "$PWD/build/win32/printer_probe.exe"
bash tests/print_drawing.sh "$PWD/build/posix/printer_probe" "$PWD/build/win32/printer_probe.exe"
bash tests/end_to_end.sh "$PWD/build/posix/virodaro" "$PWD/build/win32/VIRODARO.EXE"

echo "== packages"
bash tests/package.sh "$PWD/build/posix"
bash tests/windows_zip.sh "$PWD/build/win32"
bash tests/reproducible.sh "$PWD" "$PWD/build/posix"

