#!/usr/bin/env bash
# Installs with tarvik-cli-setup.exe under wine, silently as setup's /i does it, in a prefix of
# its own (the test changes the user's PATH and uninstall entries): checks the installed files,
# the PATH and the uninstall entry with `reg query`, runs the installed tarvik-cli.exe when
# there is one, installs again, then runs the uninstall command that the registry names and
# checks that nothing is left. Exit statuses are checked as numbers.
#
# Usage: cli-setup-test.sh SETUP_EXE INSTALL_EXE NAME...   (NAMEs: the files expected installed)
set -uo pipefail
setupExe=$1 installExe=$2
shift 2
expected=("$@")
here=$(cd "$(dirname "$0")" && pwd)
wineRun=$here/../../../scripts/wine-run
work=$(mktemp -d)
export WINEPREFIX=$work/prefix
xvfbPid=
cleanup() {
    wineserver -k 2>/dev/null
    if [[ -n $xvfbPid ]]; then kill "$xvfbPid" 2>/dev/null; fi
    rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
check() { # check DESCRIPTION EXPECTED ACTUAL
    if [[ "$2" == "$3" ]]; then echo "ok: $1"; else fail "$1: expected [$2], got [$3]"; fi
}
run() { "$wineRun" "$@" 2>>"$work/stderr"; }
# `reg query KEY /v NAME`'s type and data, "absent" when there is no such value.
regValue() {
    local out
    out=$(run reg query "$1" /v "$2" | tr -d '\r') || { echo absent; return; }
    sed -n "s/^    $2    \(REG_[A-Z_]*\)    \(.*\)\$/\1 \2/p" <<<"$out"
}
# setup makes its progress dialog also when silent: it needs an X server, a private one unless
# the caller gives one.
if [[ -z ${DISPLAY:-} ]]; then
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 3>"$work/display" &
    xvfbPid=$!
    for _ in $(seq 100); do [[ -s $work/display ]] && break; sleep 0.1; done
    [[ -s $work/display ]] || { echo "no X server could be started"; exit 1; }
    export DISPLAY=:$(head -n1 "$work/display")
fi
uninstallKey='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarvik'

# A PATH as users have it: a variable, an empty entry.
userPath='%USERPROFILE%\bin;;C:\tools'
run reg add 'HKCU\Environment' /v Path /t REG_EXPAND_SZ /d "$userPath" /f >/dev/null
check "the user's PATH is set up" 0 "$?"
localAppData=$(run cmd /c echo %LOCALAPPDATA% | tr -d '\r')
folder="$localAppData\\Programs\\Tarvik"
unixFolder=$(winepath -u "$folder" 2>/dev/null)
unixFolder=${unixFolder%/}

# --- Install silently, as setup /i runs the installer.
run "$setupExe" /i
check "setup /i exits 0" 0 "$?"
check "the installed files" "$(printf '%s\n' "${expected[@]}" | sort)" \
    "$(cd "$unixFolder" 2>/dev/null && find . -type f | sed 's|^\./||' | sort)"
check "PATH: appended once, kept as REG_EXPAND_SZ" "REG_EXPAND_SZ $userPath;$folder" \
    "$(regValue 'HKCU\Environment' Path)"
uninstaller="\"$folder\\uninstall.exe\" /uninstall"
for pair in "DisplayName|REG_SZ Tarvik command line" "Publisher|REG_SZ Tarvik" \
            "InstallLocation|REG_SZ $folder" "UninstallString|REG_SZ $uninstaller" \
            "NoModify|REG_DWORD 0x1" "NoRepair|REG_DWORD 0x1"; do
    check "uninstall entry: ${pair%%|*}" "${pair#*|}" "$(regValue "$uninstallKey" "${pair%%|*}")"
done
check "uninstall entry: DisplayVersion" 1 "$(regValue "$uninstallKey" DisplayVersion | grep -cE '^REG_SZ [0-9]+(\.[0-9]+)+$')"
if [[ -f $unixFolder/tarvik-cli.exe ]]; then
    version=$(run "$folder\\tarvik-cli.exe" --version | tr -d '\r')
    check "the installed tarvik-cli.exe --version exits 0" 0 "$?"
    check "tarvik-cli.exe names itself" 1 "$(grep -c '^tarvik-cli ' <<<"$version")"
fi

# --- Again: the files are replaced, the PATH keeps one entry.
echo stale >"$unixFolder/README.txt"
run "$setupExe" /i
check "setup /i again exits 0" 0 "$?"
check "again: the file is replaced" 0 "$(grep -c stale "$unixFolder/README.txt")"
check "again: still one PATH entry" "REG_EXPAND_SZ $userPath;$folder" \
    "$(regValue 'HKCU\Environment' Path)"
check "again: nothing staged or set aside is left" 0 \
    "$(find "$unixFolder" -name '*.tarvik-*' | wc -l)"

# --- A faulty list changes nothing and says so.
mkdir -p "$work/bad/setup"
cp "$installExe" "$work/bad/setup/install.exe"
printf '[product]\r\nname=X\r\nversion=1\r\nkey=Tarvik\r\n[files]\r\n..\\escape.exe\r\n' \
    >"$work/bad/setup/install.ini"
run "$work/bad/setup/install.exe" /i
check "a faulty list exits 2" 2 "$?"
check "a faulty list is named with its line" 1 "$(grep -c "line 6: the file name '..\\\\escape.exe' leaves its folder" "$work/stderr")"
check "a faulty list leaves the entry" "REG_SZ Tarvik command line" \
    "$(regValue "$uninstallKey" DisplayName)"

# --- The uninstall command the registry names, quietly.
quiet=$(regValue "$uninstallKey" QuietUninstallString)
check "the quiet uninstall command" "REG_SZ $uninstaller /quiet" "$quiet"
if [[ $quiet =~ ^REG_SZ\ \"([^\"]+)\"\ (.*)$ ]]; then
    # shellcheck disable=SC2086 # the switches are words
    run "${BASH_REMATCH[1]}" ${BASH_REMATCH[2]}
    check "the uninstall exits 0" 0 "$?"
fi
check "the folder is gone" no "$([[ -e $unixFolder ]] && echo yes || echo no)"
check "PATH is as before" "REG_EXPAND_SZ $userPath" "$(regValue 'HKCU\Environment' Path)"
run reg query "$uninstallKey" >/dev/null 2>&1
check "the uninstall entry is gone (reg query exits 1)" 1 "$?"
run "$folder\\uninstall.exe" /uninstall /quiet
check "a second uninstall finds no program and exits 53" 53 "$?"

echo "$failures failure(s)"
[[ $failures -eq 0 ]]
