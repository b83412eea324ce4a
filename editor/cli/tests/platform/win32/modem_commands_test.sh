#!/usr/bin/env bash
# tarvik-cli.exe's modem commands under wine, with the Linux virtual modem behind COM5
# (wine-modem-run links the port and lists it under HARDWARE\DEVICEMAP\SERIALCOMM): `modems`
# finds it and reads it, `send-remote` sends the program's remote text, prints the reply and
# logs both under %APPDATA%\Tarvik, and a port with nothing behind it fails the send with the
# modem's status. Exit statuses are checked as numbers.
#   modem_commands_test.sh WINE-MODEM-RUN GSMMODEM TARVIK-CLI.EXE
set -euo pipefail
modem_run=$1
gsmmodem=$2
cli=$3
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
here=$(dirname "$modem_run")
export WINEPREFIX=${WINEPREFIX:-$(cd "$here/.." && pwd)/build/windows/wineprefix}
export TARVIK_MODEM_TIMEOUT_MS=20000

# Runs the command, keeping its output in $dir/out and $dir/err and its status in $status.
run() {
    status=0
    "$@" >"$dir/out" 2>"$dir/err" || status=$?
}

"$here/wine-run" "$cli" new "Z:$dir/prog.sim" --model 2 >/dev/null
"$here/wine-run" "$cli" set "Z:$dir/prog.sim" TL1 0331234567 >/dev/null

run "$modem_run" "$gsmmodem" -- "$cli" modems
[[ $status -eq 0 ]] || fail "modems: status $status: $(cat "$dir/err")"
# 3GPP TS 27.007: +CGMI, +CGMM, +CPIN READY, +CREG 0,1 (home), +CSQ 20 (-73 dBm).
grep -qE '^COM5: Tarvik Virtual GSM modem; SIM ready; registered \(home network\); signal .*-73 dBm' \
    "$dir/out" || fail "modems: $(cat "$dir/out" "$dir/err")"

log=$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Tarvik/messages.csv
before=0
[[ -f $log ]] && before=$(wc -l <"$log")
run "$modem_run" "$gsmmodem" --reply "OK TL1" -- \
    "$cli" send-remote "Z:$dir/prog.sim" --port COM5 --to +393331234567 --wait 20
[[ $status -eq 0 ]] || fail "send-remote: status $status: $(cat "$dir/err")"
grep -qE '^message 1 of 1 sent: [0-9]+ characters, reference 1' "$dir/out" ||
    fail "send-remote: $(cat "$dir/out")"
grep -qF 'reply from +393331234567 (2025-01-31 13:05:09): OK TL1' "$dir/out" ||
    fail "send-remote: no reply: $(cat "$dir/out")"
[[ -f $log ]] || fail "no message log at $log"
new=$(tail -n +"$((before + 1))" "$log")
grep -qE ',sent,\+393331234567,.*,ok' <<<"$new" || fail "log: $new"
grep -qE ',received,\+393331234567,OK TL1,ok' <<<"$new" || fail "log: $new"

# No such port: the modem's exit status (7), and nothing sent.
run "$here/wine-run" "$cli" send-remote "Z:$dir/prog.sim" --port COM77 --to +393331234567
[[ $status -eq 7 ]] || fail "send-remote to COM77: status $status: $(cat "$dir/err")"
grep -qF 'COM77: no such port; nothing was sent' "$dir/err" || fail "COM77: $(cat "$dir/err")"
echo "modem commands: ok"
