#!/usr/bin/env bash
# Runs setup.exe under wine on packages that the Linux mkpackage makes of it: a silent run, a
# visible run on an X server (with pictures of the progress dialog and the start bitmap), and
# a run cancelled through the test hook. Checks exit statuses as numbers, the install log's
# lines, the order of the programs that setup.ini names, and that the temporary folder is gone.
#
# Usage: setup-exe-test.sh SETUP_EXE RECORD_EXE MKPACKAGE [SHOT_FOLDER]
set -uo pipefail
setupExe=$1 recordExe=$2 mkpackage=$3 shotFolder=${4:-}
here=$(cd "$(dirname "$0")" && pwd)
wineRun=$here/../../../scripts/wine-run
work=$(mktemp -d)
xvfbPid=
cleanup() {
    if [[ -n $xvfbPid ]]; then kill "$xvfbPid" 2>/dev/null; fi
    rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
check() { # check DESCRIPTION EXPECTED ACTUAL
    if [[ "$2" == "$3" ]]; then echo "ok: $1"; else fail "$1: expected [$2], got [$3]"; fi
}
windowsPath() { local p=${1//\//\\}; echo "Z:$p"; }

# A window needs an X server; a private one unless the caller gives one.
if [[ -z ${DISPLAY:-} ]]; then
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 3>"$work/display" &
    xvfbPid=$!
    for _ in $(seq 100); do [[ -s $work/display ]] && break; sleep 0.1; done
    [[ -s $work/display ]] || { echo "no X server could be started"; exit 1; }
    export DISPLAY=:$(head -n1 "$work/display")
fi
export WINEPREFIX=${WINEPREFIX:-$(dirname "$setupExe")/wineprefix}

# The package: setup.ini names the start bitmap and two runs of the recording program.
tree=$work/tree
mkdir -p "$tree/setup" "$tree/data"
printf '[bitmap]\r\nStart_Bitmap=header.BMP\r\n[startup]\r\n2=record.exe second "two words"\r\n1=record.exe first\r\n' \
    >"$tree/setup/setup.ini"
cp "$recordExe" "$tree/setup/record.exe"
python3 - "$tree/setup/Header.bmp" <<'PY'
import struct, sys
# A 240 by 120 picture, 24 bits a pixel, rows bottom-up and padded to 4 bytes
# (the BITMAPINFOHEADER layout of a Windows bitmap file).
w, h = 240, 120
rows = b""
for y in range(h - 1, -1, -1):
    row = b""
    for x in range(w):
        band = (x // 30 + y // 30) % 2
        r, g, b = (0x20 + x // 2, 0x60, 0xC0 - y) if band else (0xF0, 0xF0, 0xF0)
        row += bytes((b, g, r))
    rows += row + b"\0" * ((4 - len(row) % 4) % 4)
info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
head = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(rows), 0, 0, 14 + len(info))
open(sys.argv[1], "wb").write(head + info + rows)
PY
for i in $(seq 1 12); do head -c 4096 /dev/zero >"$tree/data/file$i.bin"; done
"$mkpackage" "$setupExe" "$tree" "$work/package.exe" >/dev/null || { echo "mkpackage failed"; exit 1; }

leftovers() { find "$WINEPREFIX/drive_c" -maxdepth 6 -name 'ist*.tm!' 2>/dev/null | wc -l; }
# Messages of the install log without their stamps, one a line.
messages() { sed -e 's/\r$//' -e 's/^\[[^]]*\]  //' "$1"; }

run() { # run NAME ARGUMENTS...: runs the package, leaves status, log and records in $work/NAME.*
    local name=$1
    shift
    QL_INST_LOG=$(windowsPath "$work/$name.log") SETUP_RECORD=$(windowsPath "$work/$name.record") \
        SETUP_RECORD_FOLDER=$(windowsPath "$work/$name.folders") \
        "$wineRun" "$work/package.exe" "$@"
}

# --- A silent run: no window, the log on, the programs in key order with the tail.
"$wineRun" wineboot -i >/dev/null 2>&1 || true
before=$(leftovers)
run silent /i
check "silent run exits 0" 0 "$?"
check "silent run: programs in key order, tail appended" \
    "$(printf 'record.exe first /i\nrecord.exe second two words /i')" "$(tr -d '\r' <"$work/silent.record")"
check "silent run: every log line ends in CR LF" "$(wc -l <"$work/silent.log")" \
    "$(grep -c $'\r$' "$work/silent.log")"
check "silent run: the log's steps" "$(cat <<'LOG'
<========================= Start log setup process ===================================>
Do kivCDlgProg::Create().
Finish kivCDlgProg::Create().
 Do kivCDlgProg::MoveWindowToCorner().
 Create extractor thead, and begin to exactor package.
Extractor thread finish and begin to start real setup applicatin:
Clear start bitmap:
Call real setup application.
The real setup application process finished.
Call real setup application.
The real setup application process finished.
Delete the setup in Temp folder.
Delete Temp folder.
LOG
)" "$(messages "$work/silent.log")"
check "silent run: stamps are year-month-day hour:minute:second" 0 \
    "$(grep -cvE '^\[[0-9]{4}-[0-9]{2}-[0-9]{1,2} [0-9]{2}:[0-9]{2}:[0-9]{2}\]  ' "$work/silent.log")"
folder=$(head -n1 "$work/silent.folders" | tr -d '\r')
check "silent run: the programs ran from the temporary folder's setup" 1 \
    "$(grep -c '\.tm!\\setup$' <<<"$folder")"
check "silent run: the temporary folder is gone" "$before" "$(leftovers)"

# --- A visible run: the start bitmap and the dialog, paused after the first step.
release=$work/release
SETUP_TEST_HOOK="report=$(windowsPath "$work/visible.report");pause-at=1;release=$(windowsPath "$release")" \
    run visible /l &
runner=$!
for _ in $(seq 300); do grep -q 'paused 1' "$work/visible.report" 2>/dev/null && break; sleep 0.1; done
check "visible run pauses after step 1" 1 "$(grep -c 'paused 1' "$work/visible.report" 2>/dev/null)"
if [[ -n $shotFolder ]] && command -v xwd >/dev/null; then
    sleep 1
    mkdir -p "$shotFolder"
    xwd -root -silent >"$work/screen.xwd"
    python3 "$here/xwd2png.py" "$work/screen.xwd" "$shotFolder/setup-exe-screen.png"
    # Each window by the place the run reported for it.
    for window in dialog window; do
        placement=$(grep -m1 "^$window shown" "$work/visible.report" | tr -d '\r')
        if [[ $placement =~ ([0-9]+)x([0-9]+)\ at\ (-?[0-9]+),(-?[0-9]+) ]]; then
            python3 "$here/xwd2png.py" "$work/screen.xwd" "$shotFolder/setup-exe-$window.png" \
                "${BASH_REMATCH[3]}" "${BASH_REMATCH[4]}" "${BASH_REMATCH[1]}" "${BASH_REMATCH[2]}"
        fi
    done
    echo "pictures: $(ls "$shotFolder"/setup-exe-*.png | tr '\n' ' ')"
elif [[ -n $shotFolder ]]; then
    echo "no picture: xwd (Debian package x11-apps) is missing"
fi
touch "$release"
wait "$runner"
check "visible run exits 0" 0 "$?"
report=$(tr -d '\r' <"$work/visible.report")
# The package's bitmap is 240x120; it is centred on whatever screen the X server has.
shown=$(grep '^window shown' <<<"$report")
if [[ $shown =~ ^window\ shown\ 240x120\ at\ (-?[0-9]+),(-?[0-9]+)\ on\ ([0-9]+)x([0-9]+)$ ]]; then
    check "visible run: the start bitmap is centred at its size" \
        "$(((BASH_REMATCH[3] - 240) / 2)),$(((BASH_REMATCH[4] - 120) / 2))" \
        "${BASH_REMATCH[1]},${BASH_REMATCH[2]}"
else
    fail "visible run: no start bitmap of 240x120 in [$report]"
fi
dialog=$(grep '^dialog shown' <<<"$report")
if [[ $dialog =~ ^dialog\ shown\ ([0-9]+)x([0-9]+)\ at\ (-?[0-9]+),(-?[0-9]+)\ on\ ([0-9]+)x([0-9]+)$ ]]; then
    w=${BASH_REMATCH[1]} h=${BASH_REMATCH[2]} x=${BASH_REMATCH[3]} y=${BASH_REMATCH[4]}
    sw=${BASH_REMATCH[5]} sh=${BASH_REMATCH[6]}
    check "visible run: the dialog touches the right edge" "$sw" "$((x + w))"
    # No panel keeps space on the X server: 30 pixels stay free below the dialog.
    check "visible run: the dialog sits 30 pixels above the bottom" "$((sh - 30))" "$((y + h))"
else
    fail "visible run: no dialog placement in [$report]"
fi
check "visible run: every entry stepped" 1 "$(grep -c '^step 17$' <<<"$report")"
check "visible run: the log shows the window" 1 \
    "$(messages "$work/visible.log" | grep -c '^ShowWindow(m_hWnd, SW_NORMAL);$')"
check "visible run: both programs ran" 2 "$(wc -l <"$work/visible.record")"
check "visible run: the temporary folder is gone" "$before" "$(leftovers)"

# --- Cancel at step 3: the extraction stops after that entry; the run goes on and ends 1.
SETUP_TEST_HOOK="report=$(windowsPath "$work/cancel.report");cancel-at=3" run cancel /l
check "cancelled run exits 1" 1 "$?"
report=$(tr -d '\r' <"$work/cancel.report")
check "cancelled run: Cancel clicked at step 3" 1 "$(grep -c '^cancel 3$' <<<"$report")"
check "cancelled run: no step after it" 0 "$(grep -c '^step 4$' <<<"$report")"
check "cancelled run: the temporary folder is gone" "$before" "$(leftovers)"

echo "$failures failure(s)"
[[ $failures -eq 0 ]]
