#!/usr/bin/env bash
# Runs one fuzz target with libFuzzer for a while: scripts/fuzz.sh TARGET SECONDS [ARGS...]
# Builds the clang preset "fuzz" (installing clang when missing), starts from the target's
# seed corpus, keeps what it learns in build/fuzz/work/TARGET and writes any finding to
# build/fuzz/findings/TARGET. Further arguments go to libFuzzer (e.g. -jobs=2).
# A finding is a crash input: copy it into the target's regressions/ folder once fixed,
# so every ordinary build replays it.
set -euo pipefail
cd "$(dirname "$0")/.."

if (($# < 2)); then
    echo "usage: scripts/fuzz.sh TARGET SECONDS [LIBFUZZER-ARGS...]" >&2
    echo "targets: $(grep -rhoE 'tarvik_add_fuzz_target\(\w+' fuzz | sed 's/.*(//' | tr '\n' ' ')" >&2
    exit 2
fi
target=$1
seconds=$2
shift 2

scripts/install-deps.sh
if ! command -v clang++ >/dev/null || ! dpkg-query -W libclang-rt-14-dev >/dev/null 2>&1; then
    sudo_cmd=()
    [[ $(id -u) -ne 0 ]] && sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends clang libclang-rt-14-dev
fi

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)" --target "$target"

binary=$(find build/fuzz/fuzz -type f -name "$target" -perm -u+x | head -n 1)
seeds=$(dirname "$(find fuzz -type d -path "*/corpus/$target" | head -n 1)")/$target
work=build/fuzz/work/$target
findings=build/fuzz/findings/$target
mkdir -p "$work" "$findings"

echo "fuzzing $target for $seconds s; corpus $work, findings $findings"
exec "$binary" "$work" "$seeds" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$findings/" "$@"
