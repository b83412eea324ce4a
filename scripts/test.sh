#!/usr/bin/env bash
# Builds everything from scratch and runs every test with CTest: first the normal
# build, then the address- and undefined-behaviour-sanitizer build. The GUI tests of the
# normal build then run once more with another family of fonts than the machine's, so
# that no window test depends on the fonts of the machine it runs on. Then packs the normal
# build as a Debian package and checks the package. With TARVIK_CHECK_NAMING=1 the names
# of the sources are checked against the naming rule after the normal build.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

# Writes a fontconfig configuration that knows only the fonts in folder, with the three
# generic families mapped to sans, serif and mono and every other family falling back to
# sans; prints its path.
font_config() {
    local name=$1 folder=$2 sans=$3 serif=$4 mono=$5
    local file="$PWD/build/fonts-$name.conf"
    mkdir -p build
    cat >"$file" <<CONF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  <dir>$folder</dir>
  <cachedir>$PWD/build/fontconfig-cache</cachedir>
  <alias binding="same"><family>sans-serif</family><prefer><family>$sans</family></prefer></alias>
  <alias binding="same"><family>serif</family><prefer><family>$serif</family></prefer></alias>
  <alias binding="same"><family>monospace</family><prefer><family>$mono</family></prefer></alias>
  <match target="pattern"><edit name="family" mode="append_last"><string>$sans</string></edit></match>
</fontconfig>
CONF
    echo "$file"
}

# The naming check (scripts/check-naming.sh) runs after the normal build unless
# TARVIK_CHECK_NAMING is 0. It stays off until the whole tree follows the naming rule.
check_naming=${TARVIK_CHECK_NAMING:-0}

jobs=$(nproc)
for preset in dev asan; do
    rm -rf "build/$preset"
    cmake --preset "$preset"
    cmake --build --preset "$preset" -j "$jobs"
    if [[ $preset == dev && $check_naming != 0 ]]; then
        JOBS=$jobs scripts/check-naming.sh build/dev
    fi
    ctest --preset "$preset" -j "$jobs"
done

if [[ $(fc-match -f '%{family}' monospace) == Noto* ]]; then
    fonts=$(font_config dejavu /usr/share/fonts/truetype/dejavu \
        "DejaVu Sans" "DejaVu Serif" "DejaVu Sans Mono")
else
    fonts=$(font_config noto /usr/share/fonts/truetype/noto \
        "Noto Sans" "Noto Serif" "Noto Sans Mono")
fi
echo "GUI tests with the fonts of $fonts"
FONTCONFIG_FILE=$fonts ctest --preset dev -L gui -j "$jobs"

scripts/check-deb.sh
