#!/usr/bin/env bash
# Checks the names of the project's own sources against the naming rule of CONTRIBUTING.md
# (clang-tidy's readability-identifier-naming, configured in .clang-tidy), over the files
# of a configured build's compile_commands.json: the sources of the tree and, through the
# header filter, the project's headers; nothing under build/ and nothing of the system.
# Prints one line a name, "file:line: name (kind)", and exits with 1 when there is any.
#
#   scripts/check-naming.sh [BUILD_DIR] [-- FILE...]
#
# BUILD_DIR is build/dev unless given; FILEs limit the check to those sources. JOBS sets
# how many clang-tidy processes run at once (2 unless set).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

build=build/dev
if [[ $# -gt 0 && $1 != -- ]]; then
    build=$1
    shift
fi
[[ ${1:-} == -- ]] && shift
database="$build/compile_commands.json"
if [[ ! -f $database ]]; then
    echo "check-naming: $database missing: configure the build first (cmake --preset dev)" >&2
    exit 2
fi
tidy=$(command -v clang-tidy-14 || command -v clang-tidy || true)
if [[ -z $tidy ]]; then
    echo "check-naming: clang-tidy not found (apt install clang-tidy)" >&2
    exit 2
fi

if [[ $# -gt 0 ]]; then
    sources=("$@")
else
    # The project's own translation units, once each; generated ones (moc, rcc, under the
    # build folder) are not ours to name.
    mapfile -t sources < <(python3 -c 'import json, sys
for entry in json.load(open(sys.argv[1])):
    print(entry["file"])' "$database" | grep "^$root/" | grep -v "^$root/build/" | sort -u)
fi

report=$(mktemp)
trap 'rm -f "$report"' EXIT
printf '%s\0' "${sources[@]}" |
    xargs -0 -n 4 -P "${JOBS:-2}" "$tidy" -p "$build" --quiet \
        --checks='-*,readability-identifier-naming' 2>/dev/null >>"$report" || true

# "path:line:col: warning: invalid case style for private member 'x' [check]" becomes
# "path:line: x (private member)"; a header seen from several sources is listed once.
sed -n -E "s|^$root/||; s|^([^:]+):([0-9]+):[0-9]+: warning: invalid case style for (.+) '([^']+)' \[readability-identifier-naming\]$|\1:\2: \4 (\3)|p" \
    "$report" | sort -t: -k1,1 -k2,2n -u >"$report.names"
mv "$report.names" "$report"
cat "$report"
count=$(wc -l <"$report")
if [[ $count -gt 0 ]]; then
    echo "check-naming: $count names break the naming rule (CONTRIBUTING.md)" >&2
    exit 1
fi
