#!/usr/bin/env bash
# Builds Tarvik's installer from a build tree, installs with it silently into a fresh prefix,
# and runs what it installed.
#   installer-test.sh BUILD_DIR
set -euo pipefail

build=$1
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "installer-test: $*" >&2; exit 1; }

"$root/scripts/make-installer.sh" --no-build "$build" "$work/tarvik-setup"
mkdir "$work/prefix" "$work/tmp" "$work/home"
mkdir -m 700 "$work/runtime"

# A silent install needs no display: nothing but the environment below is passed on. (Qt keeps
# its runtime files in XDG_RUNTIME_DIR, or else in the temporary folder.)
env -i PATH=/usr/bin:/bin HOME="$work/home" TMPDIR="$work/tmp" XDG_RUNTIME_DIR="$work/runtime" \
    TARVIK_PREFIX="$work/prefix" QL_INST_LOG="$work/ql_inst.log" "$work/tarvik-setup" /i \
    || fail "the install failed ($?)"

grep -q 'Delete Temp folder\.' "$work/ql_inst.log" || fail "the install log is incomplete"
[[ -z $(ls -A "$work/tmp") ]] || fail "the install left files in the temporary folder"

# What the build installs is installed, nothing more, each file runnable or readable.
cmake --install "$build" --prefix "$work/stage" --strip > /dev/null
rm -f "$work/stage/lib/tarvik/setup" "$work/stage/bin/mkpackage"
diff <(cd "$work/stage" && find . -type f -o -type l | sort) \
     <(cd "$work/prefix" && find . -type f | sort) || fail "the installed files differ"
for program in tarvik-cli simcard; do
    [[ -x $work/prefix/bin/$program ]] || fail "bin/$program is not installed"
done
libdir=$(sed -n 's/^CMAKE_INSTALL_LIBDIR:[A-Z]*=//p' "$build/CMakeCache.txt")
for library in libquenlib.so libquenlib.so.1; do
    [[ -f $work/prefix/$libdir/$library ]] || fail "$libdir/$library is not installed"
done

# The installed programs start.
"$work/prefix/bin/tarvik-cli" new "$work/test.sim" || fail "tarvik-cli new failed"
"$work/prefix/bin/tarvik-cli" set "$work/test.sim" TL1 0123456789 || fail "tarvik-cli set failed"
"$work/prefix/bin/tarvik-cli" show "$work/test.sim" | grep -q '^TL1=0123456789' \
    || fail "tarvik-cli does not show what it stored"
"$work/prefix/bin/simcard" --help > /dev/null || fail "simcard does not start"
for program in "$work"/prefix/bin/*; do
    # Every library resolves, Quenlib from the prefix the program was installed into.
    if ldd "$program" | grep -q 'not found'; then
        fail "$program misses a library: $(ldd "$program" | grep 'not found')"
    fi
    quenlib=$(ldd "$program" | awk '/libquenlib/ { print $3 }')
    if [[ -n $quenlib && $(dirname "$(realpath "$quenlib")") != $(realpath "$work/prefix/$libdir") ]]; then
        fail "$program loads $quenlib, not the installed libquenlib"
    fi
done
if [[ -x $work/prefix/bin/tarvik ]]; then
    # The editor starts and waits for its login: still running after a while means it came up.
    env -i PATH=/usr/bin:/bin HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" \
        QT_QPA_PLATFORM=offscreen "$work/prefix/bin/tarvik" > "$work/tarvik.out" 2>&1 &
    editor=$!
    sleep 3
    if ! kill "$editor" 2> /dev/null; then
        wait "$editor" && status=0 || status=$?
        fail "tarvik ended at once with status $status: $(cat "$work/tarvik.out")"
    fi
    wait "$editor" || true
fi
echo "installer-test: installed and ran $(cd "$work/prefix" && find . -type f | wc -l) files"
