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

# The jobs the machine's own print server holds, finished ones included; "none" when it does
# not run.
machine_jobs() {
    local socket=/run/cups/cups.sock jobs
    if [[ -S $socket ]] && jobs=$(CUPS_SERVER=$socket lpstat -W all -o 2>/dev/null); then
        grep -c . <<<"$jobs" || true
    else
        echo none
    fi
}
machine_jobs_before=$(machine_jobs)
# Checked however the run ends, so a failing test that printed there is reported too.
check_machine_jobs() {
    local after
    after=$(machine_jobs)
    if [[ $after != "$machine_jobs_before" ]]; then
        echo "FAIL: the machine's own print server held $machine_jobs_before jobs before the tests, $after after" >&2
        exit 1
    fi
    echo "ok: the machine's own print server got no job (jobs: $after)"
}
trap check_machine_jobs EXIT

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

