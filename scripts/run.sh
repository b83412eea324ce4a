#!/usr/bin/env bash
# Builds Tarvik and runs it. Arguments are passed to the program.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

cmake --preset dev >/dev/null
cmake --build --preset dev -j "$(nproc)"
exec build/dev/editor/cli/tarvik-cli "${@:---help}"
