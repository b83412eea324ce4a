#!/usr/bin/env bash
# Cross-builds the Windows programs (the `windows` preset, mingw-w64) into build/windows and
# lists what it produced: the programs (tarvik-cli.exe, setup.exe, ...), the DLLs, quenlib's
# import library and the installer tarvik-cli-setup.exe. Test programs, the test card service
# (build/windows/cardtests), the copies of quenlib.dll put beside the programs that use it and
# the package trees the installers are made of are not products and are not listed.
set -euo pipefail
cd "$(dirname "$0")/.."

# The installers are packed by the Linux mkpackage, built first when it is missing.
if [[ ! -x build/dev/tools/mkpackage/mkpackage ]]; then
    [[ -f build/dev/CMakeCache.txt ]] || cmake --preset dev >/dev/null
    cmake --build build/dev --target mkpackage -j "$(nproc)"
fi
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$(nproc)"

echo "Built in build/windows:"
find build/windows -name CMakeFiles -prune -o -path build/windows/googletest -prune \
    -o -path build/windows/cardtests -prune \
    -o -path build/windows/wineprefix -prune -o -name '*.package' -prune -o -type f \
    \( -name '*.exe' -o -name '*.dll' -o -name 'quenlib.lib' \) \
    ! -name '*_tests.exe' ! -name '*test*.exe' ! \( -name quenlib.dll ! -path '*/simlib/*' \) -printf '  %P  (%s bytes)\n' | sort
if ! qt_dir=$(scripts/windows-qt-dir); then
    echo "Tarvik.exe (the editor) was skipped: no Qt for Windows in $qt_dir;" \
        "scripts/build-qt-windows.sh makes it (hours on two cores), then run this again."
fi
