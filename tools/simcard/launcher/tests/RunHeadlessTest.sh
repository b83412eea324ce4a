#!/usr/bin/env bash
# scripts/run.sh without a display, on what is built: the first run makes the demo card in
# a fresh data folder and shows its program, the second shows it again from the kept card.
# Nothing the runs started is left running.
set -euo pipefail
source_dir=$1
build_dir=$2

data=$(mktemp -d)
trap 'rm -rf "$data"' EXIT
run() {
    env -u DISPLAY -u WAYLAND_DISPLAY XDG_DATA_HOME="$data" TARVIK_RUN_SKIP_BUILD=1 \
        TARVIK_BUILD_DIR="$build_dir" "$source_dir/scripts/run.sh" 2>&1
}
expect() {
    if ! grep -qxF -- "$2" <<<"$1"; then
        echo "missing line: $2"
        echo "--- output:"
        echo "$1"
        exit 1
    fi
}

for attempt in first second; do
    output=$(run)
    expect "$output" "No display (neither DISPLAY nor WAYLAND_DISPLAY is set): showing the card's program instead of opening the editor."
    # The example program, read back from the card for the third model.
    for line in SIM-05 SIM-PRG "#1FRONT-DOOR=1" "TL0C=3331234567" "RED=3" "RFT=24"; do
        expect "$output" "$line"
    done
    if [[ $attempt == first ]]; then
        expect "$output" "Made the demo card $data/tarvik/demo-card.img"
    elif grep -q "Made the demo card" <<<"$output"; then
        echo "the second run made the demo card again"
        exit 1
    fi
done
test -f "$data/tarvik/demo-card.img"
# The demo card has an ICCID of its own (GSM 11.11 10.1.1: swapped nibbles, F filler), and
# making it left no backup behind.
grep -qx "binary 3F00 2FE2 989310000000000010F7" "$data/tarvik/demo-card.img"
test ! -e "$data/tarvik/backups"
if pgrep -u "$(id -u)" -f -- "--image $data/tarvik/demo-card.img" >/dev/null; then
    echo "a simcard of the run is still running"
    exit 1
fi
echo "ok"
