#!/usr/bin/env bash
# The Windows stage: cross-builds the `windows` preset with mingw-w64 and runs its tests under
# wine in a fresh prefix in a temporary folder, with Xvfb for windows and the Linux simcard
# behind the test card service (tools/testpcsc's winscard.dll). Prints each group's result;
# the exit status is non-zero when any group failed or could not run.
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS
jobs=2

# The packages the stage needs, installed when missing (as scripts/install-deps.sh does).
packages=(cmake ninja-build g++-mingw-w64-x86-64 googletest wine wine64 xvfb xauth x11-apps)
missing=()
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
if ((${#missing[@]} > 0)); then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    [[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
    export DEBIAN_FRONTEND=noninteractive
    "${sudo_cmd[@]}" apt-get update -qq
    "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The card tests connect the Linux simcard to the Windows programs' card service, the modem
# tests the Linux gsmmodem to a COM port, and the Linux mkpackage packs tarvik-cli-setup.exe:
# the ones of the Linux stage, else just those targets are built.
simcard=$PWD/build/dev/tools/simcard/simcard
gsmmodem=$PWD/build/dev/tools/gsmmodem/gsmmodem
mkpackage=$PWD/build/dev/tools/mkpackage/mkpackage
host_tools=()
[[ -x $simcard ]] || host_tools+=(simcard)
[[ -x $gsmmodem ]] || host_tools+=(gsmmodem)
[[ -x $mkpackage ]] || host_tools+=(mkpackage)
if ((${#host_tools[@]} > 0)); then
    [[ -f build/dev/CMakeCache.txt ]] || cmake --preset dev >/dev/null
    cmake --build build/dev --target "${host_tools[@]}" -j "$jobs"
fi

# The editor needs the static Qt for Windows, which takes hours to build on two cores: the
# stage never builds it, and runs the editor's tests only when it is already there.
editor_skipped=
if ! qt_dir=$(scripts/windows-qt-dir); then
    editor_skipped="no Qt for Windows in $qt_dir (scripts/build-qt-windows.sh makes it, in longer than CI's 90 minutes)"
fi

cmake --preset windows -DSIMCARD_PROGRAM="$simcard" -DGSMMODEM_PROGRAM="$gsmmodem" \
    -DTARVIK_LINUX_MKPACKAGE="$mkpackage" >/dev/null
cmake --build --preset windows -j "$jobs"
built=$SECONDS

work=$(mktemp -d "${TMPDIR:-/tmp}/tarvik-windows.XXXXXX")
xvfb_pid=
cleanup() {
    WINEPREFIX=$work/prefix wineserver -k 2>/dev/null || true
    if [[ -n $xvfb_pid ]]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
export WINEPREFIX=$work/prefix

# Xvfb picks a free display and writes its number; it runs before the wineserver, which the
# windows then reach.
gui_problem=
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
    [[ -s $work/display ]] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
done
if [[ -s $work/display ]]; then
    export DISPLAY=:$(head -n1 "$work/display")
else
    gui_problem="Xvfb did not start: $(tail -n1 "$work/xvfb.log" 2>/dev/null)"
    unset DISPLAY
fi

# A persistent wineserver, so that every program starts in a fifth of a second instead of
# two, then the prefix, made once before any test.
mkdir -p "$WINEPREFIX"
wineserver -p
scripts/wine-run cmd /c exit 0 >/dev/null 2>&1

# Groups by label: the card tests (test winscard.dll and simcard), the modem tests (gsmmodem
# behind COM5), the window tests (Xvfb), the editor's tests (only with Qt for Windows), and
# everything else.
declare -A group_label=([unit]="" [card]=card [modem]=modem [gui]=gui [editor]=editor)
declare -A group_result=()
groups=(unit card modem gui editor)
failed=0
for group in "${groups[@]}"; do
    label=${group_label[$group]}
    selection=()
    if [[ -z $label ]]; then
        selection=(-LE "card|modem|gui|editor")
    elif [[ $label == editor ]]; then
        selection=(-L "^editor\$")
    else
        selection=(-L "^$label\$" -LE "^editor\$")
    fi
    if [[ $group == editor && -n $editor_skipped ]]; then
        group_result[$group]="skipped: $editor_skipped"
        continue
    fi
    if [[ $group == gui && -n $gui_problem ]]; then
        group_result[$group]="could not run: $gui_problem"
        failed=1
        continue
    fi
    if [[ $group == card && ! -x $simcard ]]; then
        group_result[$group]="could not run: no Linux simcard at $simcard"
        failed=1
        continue
    fi
    if [[ $group == modem && ! -x $gsmmodem ]]; then
        group_result[$group]="could not run: no Linux gsmmodem at $gsmmodem"
        failed=1
        continue
    fi
    count=$(ctest --preset windows -N "${selection[@]}" | sed -n 's/^Total Tests: //p')
    if [[ ${count:-0} -eq 0 ]]; then
        group_result[$group]="no tests in this group"
        continue
    fi
    log=$work/ctest-$group.log
    if ctest --preset windows -j "$jobs" "${selection[@]}" >"$log" 2>&1; then
        group_result[$group]="passed ($count tests)"
    else
        failed=1
        # The failed tests with their output; the passed ones are left out.
        grep -v -E '^ +Start |Passed +[0-9.]+ sec$' "$log"
        group_result[$group]="FAILED: $(grep -E '^[0-9]+% tests passed' "$log" || echo "ctest failed")"
    fi
done

echo
echo "Windows stage (build $((built - started)) s, tests $((SECONDS - built)) s):"
for group in "${groups[@]}"; do
    printf '  %-6s %s\n' "$group" "${group_result[$group]}"
done
exit "$failed"
