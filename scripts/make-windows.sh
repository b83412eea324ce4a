#!/usr/bin/env bash
# Cross-builds the Windows programs (the `windows` preset, mingw-w64) into build/windows and
# lists what it produced: the programs (tarvik-cli.exe, setup.exe, ...), the DLLs and quenlib's
# import library. Test programs and the test card service (build/windows/cardtests) are not
# products and are not listed, nor the copies of quenlib.dll put beside the programs that use it.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset windows >/dev/null
cmake --build --preset windows -j "$(nproc)"

echo "Built in build/windows:"
find build/windows -name CMakeFiles -prune -o -path build/windows/googletest -prune \
    -o -path build/windows/cardtests -prune \
    -o -path build/windows/wineprefix -prune -o -type f \
    \( -name '*.exe' -o -name '*.dll' -o -name 'quenlib.lib' \) \
    ! -name '*_tests.exe' ! -name '*test*.exe' ! \( -name quenlib.dll ! -path '*/simlib/*' \) -printf '  %P  (%s bytes)\n' | sort
if ! qt_dir=$(scripts/windows-qt-dir); then
    echo "Tarvik.exe (the editor) was skipped: no Qt for Windows in $qt_dir;" \
        "scripts/build-qt-windows.sh makes it (hours on two cores), then run this again."
fi
