#!/usr/bin/env bash
# Builds Tarvik and runs it with a SIM card: the card of a real reader when one holds a
# card, otherwise a virtual demo card (simcard) whose image lives in the user's data
# folder and starts out holding an example program. Whatever is started for the card is
# stopped when the editor exits. Without a display, the demo card's program is shown on
# the terminal instead. With a display, a virtual GSM modem (gsmmodem) runs on a
# pseudo-terminal beside the card, so that "Send by SMS..." works without hardware: its port
# is preselected, and the virtual device answers every message. Arguments are passed to the
# editor.
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
gsmmodem=$build/tools/gsmmodem/gsmmodem
data=${XDG_DATA_HOME:-$HOME/.local/share}/tarvik
image=$data/demo-card.img
# The demo card's own ICCID, so that its backups are told apart from other cards'.
demo_iccid=8939010000000000017

scratch=$(mktemp -d)
modem_pid=
stop_modem() {
    if [[ -n $modem_pid ]]; then
        kill "$modem_pid" 2>/dev/null || true
        wait "$modem_pid" 2>/dev/null || true
    fi
}
trap 'stop_modem; rm -rf "$scratch"' EXIT

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
    # The virtual modem, on a link of a fixed name so that the editor offers it first.
    if [[ -x $gsmmodem ]]; then
        "$gsmmodem" --link "$scratch/ttyGSM0" --reply "OK" >"$scratch/modem.log" 2>&1 &
        modem_pid=$!
        for _ in $(seq 50); do
            [[ -e $scratch/ttyGSM0 ]] && break
            sleep 0.1
        done
        if [[ -e $scratch/ttyGSM0 ]]; then
            export TARVIK_MODEM_PORT=$scratch/ttyGSM0
            echo "Virtual GSM modem on $TARVIK_MODEM_PORT"
        fi
    fi
    "$session" --image "$image" --use-real-card -- "$editor" "$@"
fi
