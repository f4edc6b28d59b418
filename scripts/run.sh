#!/usr/bin/env bash
# Installs what is needed, builds the POSIX program and runs it with the given arguments in
# the caller's current directory, where its settings file and any PDF it writes belong.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
bash "$repo/scripts/install-deps.sh"
(cd "$repo" && cmake --preset posix >/dev/null && cmake --build --preset posix --target virodaro)
exec "$repo/build/posix/virodaro" "$@"
