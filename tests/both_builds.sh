#!/usr/bin/env bash
# The POSIX program and the Windows program under wine, run with standard output redirected
# (no terminal), write the same bytes and end with the same exit code.
set -euo pipefail
posix_program=$1
windows_program=$2
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib/check.sh"
source "$here/lib/wine.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

set +e
(cd "$work" && "$posix_program" > posix.out </dev/null)
posix_status=$?
(cd "$work" && wine_run "$windows_program" > windows.out </dev/null)
windows_status=$?
set -e

check_eq "exit codes" "$posix_status" "$windows_status"
check_eq "standard output" "$(od -An -tx1 "$work/posix.out")" "$(od -An -tx1 "$work/windows.out")"
banner=$'\xf9 VIRODARO \xf9\r'
check_eq "first line is the banner" "$banner" "$(head -1 "$work/posix.out")"
check_done
