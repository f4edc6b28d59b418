#!/usr/bin/env bash
# Installs what is needed, builds the POSIX program and runs it with the given arguments.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset posix >/dev/null
cmake --build --preset posix --target virodaro
exec build/posix/virodaro "$@"
