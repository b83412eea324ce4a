#!/usr/bin/env bash
# Builds Tarvik and runs it with a SIM card: the card of a real reader when one holds a
# card, otherwise a virtual demo card (simcard) whose image lives in the user's data
# folder and starts out holding an example program. Whatever is started for the card is
# stopped when the editor exits. Without a display, the demo card's program is shown on
# the terminal instead. Arguments are passed to the editor.
#
# TARVIK_RUN_SKIP_BUILD=1 runs what is built in TARVIK_BUILD_DIR (build/dev by default)
# without installing or building anything.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${TARVIK_BUILD_DIR:-build/dev}
if [[ ${TARVIK_RUN_SKIP_BUILD:-0} != 1 ]]; then
    scripts/install-deps.sh
    cmake --preset dev >/dev/null
    cmake --build --preset dev -j "$(nproc)"
fi

cli=$build/editor/cli/tarvik-cli
editor=$build/editor/shell/tarvik
session=$build/tools/simcard/simcard-session
data=${XDG_DATA_HOME:-$HOME/.local/share}/tarvik
image=$data/demo-card.img
# The demo card's own ICCID, so that its backups are told apart from other cards'.
demo_iccid=8939010000000000017

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# The first run makes the demo card: a new card image with an example program for the
# third device model written onto it, exactly as the editor would write it.
if [[ ! -f $image ]]; then
    mkdir -p "$data"
    example=$scratch/example.sim
    "$cli" new "$example" --model 2
    "$cli" edit "$example" \
        CBTl0=1 EDTl0=3331234567 EDTl1=3337654321 EDTl2=0612345678 \
        EDSms1="Front door" EDSms2="Window open" EDSms5="Test OK" \
        CBIp0=1 CBIp1=1 EDDl1=30 CBRed=1 EDRed=3 CBRft=1 EDRft=24 CBOp0=1 EDOp0=5
    rm -f "$image.new"
    # A new card has nothing to keep: no backup before this first write.
    if ! "$session" --image "$image.new" --iccid "$demo_iccid" -- \
        "$cli" write-sim "$example" --no-backup >"$scratch/made.log" 2>&1; then
        cat "$scratch/made.log" >&2
        echo "Could not make the demo card" >&2
        exit 1
    fi
    mv "$image.new" "$image"
    rm -f "$image.new.log"
    echo "Made the demo card $image"
fi

if [[ -z ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-} ]] || [[ ! -x $editor ]]; then
    if [[ -z ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-} ]]; then
        echo "No display (neither DISPLAY nor WAYLAND_DISPLAY is set): showing the card's program instead of opening the editor."
    else
        echo "The editor is not built yet: showing the card's program instead."
    fi
    "$session" --image "$image" --use-real-card -- \
        bash -c '"$1" read-sim "$2" && "$1" show "$2"' show-card "$cli" "$scratch/card.sim"
else
    "$session" --image "$image" --use-real-card -- "$editor" "$@"
fi
