#!/usr/bin/env bash
# Installs what is needed, builds both platforms (and the sanitized and fuzzing native
# builds) and runs every test: unit tests natively, under the sanitizers and under wine, the
# fuzz targets for a few seconds each, the terminal tests, the printer against a private
# print server, the drawing on rasterised pages, the two programs against each other, and
# both whole programs end to end in a terminal with a print server.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

for preset in posix posix-asan fuzz win32; do
  echo "== $preset: build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  echo "== $preset: test"
  ctest --preset "$preset"
done

echo "== both builds"
bash tests/both_builds.sh "$PWD/build/posix/virodaro" "$PWD/build/win32/VIRODARO.EXE"
bash tests/print_server.sh "$PWD/build/posix/printer_probe" "$PWD/build/win32/printer_probe.exe"
bash tests/print_measurements.sh "$PWD/build/posix/printer_probe" "$PWD/build/win32/printer_probe.exe"
bash tests/print_drawing.sh "$PWD/build/posix/printer_probe" "$PWD/build/win32/printer_probe.exe"
bash tests/end_to_end.sh "$PWD/build/posix/virodaro" "$PWD/build/win32/VIRODARO.EXE"
