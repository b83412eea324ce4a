#!/usr/bin/env bash
# Renders Tarvik's main window (every page and menu) and every dialog to PNG files, offscreen,
# in English, Italian and German, with the first page of the configuration sheet (pdftoppm),
# and prints the folder that holds them: one subfolder per language. Usage: scripts/screenshots.sh [FOLDER] (a new temporary folder by default).
#
# Builds what it needs in TARVIK_BUILD_DIR (build/dev by default, the dev preset).
set -euo pipefail
cd "$(dirname "$0")/.."

build=${TARVIK_BUILD_DIR:-build/dev}
if [[ ! -f $build/CMakeCache.txt ]]; then
    cmake --preset dev >/dev/null
fi
cmake --build "$build" -j 2 --target tarvik-screenshots tarvik_art >/dev/null

out=${1:-$(mktemp -d "${TMPDIR:-/tmp}/tarvik-screenshots.XXXXXX")}
files=$build/editor/shell
for language in English Italiano Deutsch; do
    choice=$language
    [[ $language == English ]] && choice=
    # The offscreen platform's notes about window sizes are noise here.
    QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$out} \
        "$build/editor/shell/testing/screenshots/tarvik-screenshots" "$files" "$out/$language" $choice \
        2> >(grep -v -e propagateSizeHints >&2)
    pdftoppm -png -r 60 -f 1 -l 1 -singlefile "$out/$language/sheet.pdf" "$out/$language/sheet-page-1"
done
echo "$out"
