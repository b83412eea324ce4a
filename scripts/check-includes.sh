#!/usr/bin/env bash
# Fails when a source file includes a header that its component may not use: another
# component's inside, or a component that its target does not link. The table below is the
# link graph of the CMake targets, written out per folder; a file belongs to the longest
# folder of the table that holds it.
#
#   check-includes.sh [repository root]
#
# Tests (files under tests/ or testing/, and bench/ and fuzz/) may also include the test
# helpers: the virtual card and modem, the sample case module, the package writer, the shared
# test support.
set -euo pipefail

root=${1:-"$(cd "$(dirname "$0")/.." && pwd)"}
cd "$root"

# folder -> the include prefixes its files may use (its own folder is always allowed).
declare -A allowed=(
    [base]="base/"
    [gsm]="base/ gsm/"
    [simlib]="base/ gsm/"
    [modem]="base/ gsm/"
    [program]="base/"
    [editor/form]="base/ program/"
    [editor/core]="base/ program/"
    [editor/sheet]="base/ program/ editor/form/"
    [editor/sim]="base/ gsm/ program/ editor/core/ simlib/include/ simlib/session/"
    [editor/cli]="base/ gsm/ program/ modem/ editor/ simlib/include/"
    [editor/shell]="base/ gsm/ program/ modem/ editor/ simlib/include/"
    [setup]="base/"
    [installer]="base/"
    [testing]="base/"
    [tools/simcard]="base/ gsm/"
    [tools/simcard/fixture]="base/ gsm/ testing/ tools/simcard/core/"
    [tools/gsmmodem]="base/ gsm/ tools/simcard/fixture/"
    [tools/gsmmodem/fixture]="base/ gsm/ tools/gsmmodem/ tools/simcard/fixture/ testing/"
    [tools/testpcsc]="base/"
    [tools/mkpackage]="base/ setup/"
    [tools/casemodule]="simlib/include/"
    # Benchmarks and fuzz targets measure and feed a component's inside, as its tests do.
    [bench/editor]="base/ program/ editor/"
    [bench/modem]="base/ gsm/ modem/"
    [bench/program]="base/ program/"
    [bench/setup]="base/ setup/ tools/mkpackage/"
    [bench/shell]="base/ program/ editor/"
    [bench/sim]="base/ program/ editor/"
    [bench/simcard]="base/ tools/simcard/"
    [bench/simlib]="base/ gsm/ simlib/"
    [fuzz]="fuzz/Fuzz"
    [fuzz/base]="base/ fuzz/Fuzz"
    [fuzz/editor]="base/ program/ editor/ fuzz/Fuzz"
    [fuzz/modem]="base/ modem/ fuzz/Fuzz"
    [fuzz/program]="base/ program/ fuzz/Fuzz"
    [fuzz/setup]="base/ setup/ fuzz/Fuzz"
    [fuzz/simcard]="base/ tools/simcard/ fuzz/Fuzz"
    [fuzz/simlib]="base/ gsm/ simlib/ fuzz/Fuzz"
)
testHelpers="tools/simcard/ tools/gsmmodem/ tools/casemodule/ tools/mkpackage/ testing/ program/tests/"

# The folder of the table that holds `file`, or nothing.
componentOf() {
    local file=$1 best="" folder
    for folder in "${!allowed[@]}"; do
        if [[ $file == "$folder"/* && ${#folder} -gt ${#best} ]]; then
            best=$folder
        fi
    done
    printf '%s' "$best"
}

isTest() {
    [[ $1 == */tests/* || $1 == */testing/* || $1 == bench/* || $1 == fuzz/* ]]
}

failures=0
while IFS= read -r file; do
    component=$(componentOf "$file")
    if [[ -z $component ]]; then
        echo "$file: in no component of scripts/check-includes.sh" >&2
        failures=$((failures + 1))
        continue
    fi
    prefixes="$component/ ${allowed[$component]}"
    if isTest "$file"; then
        prefixes+=" $testHelpers"
    fi
    # Quoted includes only: system and library headers come in angle brackets.
    while IFS= read -r included; do
        ok=false
        for prefix in $prefixes; do
            if [[ $included == "$prefix"* ]]; then
                ok=true
                break
            fi
        done
        if ! $ok; then
            echo "$file: includes \"$included\", outside what $component may use" >&2
            failures=$((failures + 1))
        fi
    done < <(sed -nE 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]+)".*/\1/p' "$file" |
        grep / || true)
done < <(git ls-files --cached --others --exclude-standard -- '*.c' '*.cpp' '*.h' '*.hpp' 2>/dev/null ||
    find . -name '*.c' -o -name '*.cpp' -o -name '*.h' | sed 's|^\./||')

if ((failures > 0)); then
    echo "$failures include(s) across component boundaries" >&2
    exit 1
fi
echo "includes stay within each component's allowed folders"
