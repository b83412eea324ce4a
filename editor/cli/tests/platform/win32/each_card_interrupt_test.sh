#!/usr/bin/env bash
# Ctrl+C during `tarvik-cli.exe write-sim --each-card` under wine: wine turns SIGINT to the
# program's process into the console's Ctrl+C event, as a console window would send it. Once
# the first card is written and the run waits for it to go, the interrupt ends the run with
# that card whole: the status is 0 and the job log has its line.
#   each_card_interrupt_test.sh WINE-CARD-RUN SIMCARD TARVIK-CLI.EXE
set -euo pipefail
card_run=$1
simcard=$2
cli=$3
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
here=$(dirname "$card_run")

"$here/wine-run" "$cli" new "Z:$dir/prog.sim" --model 2

err=$dir/err
"$card_run" "$simcard" --pin1-disabled -- "$cli" write-sim --each-card \
    --log "Z:$dir/jobs.csv" "Z:$dir/prog.sim" 2>"$err" &
runner=$!
for _ in $(seq 300); do
    grep -q "Take the card out" "$err" && break
    sleep 0.1
done
grep -q "Take the card out" "$err" || fail "the first card was not written: $(cat "$err")"
program=$(pgrep -P "$runner" -f 'tarvik-cli\.exe') || fail "no tarvik-cli.exe process"
kill -INT "$program"
status=0
wait "$runner" || status=$?
[[ $status -eq 0 ]] || fail "status $status: $(cat "$err")"
grep -qF "stopping once the card in hand is done" "$err" || fail "no stop: $(cat "$err")"
grep -qF "1 card, 1 ok" "$err" || fail "no summary: $(cat "$err")"
[[ $(grep -c ',ok,' "$dir/jobs.csv") -eq 1 ]] || fail "job log: $(cat "$dir/jobs.csv")"
echo "each-card interrupt: ok"
