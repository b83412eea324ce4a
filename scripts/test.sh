#!/usr/bin/env bash
# Builds everything from scratch and runs every test with CTest: first the normal
# build, then the address- and undefined-behaviour-sanitizer build. Then packs the normal
# build as a Debian package and checks the package.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

jobs=$(nproc)
for preset in dev asan; do
    rm -rf "build/$preset"
    cmake --preset "$preset"
    cmake --build --preset "$preset" -j "$jobs"
    ctest --preset "$preset" -j "$jobs"
done

scripts/check-deb.sh
