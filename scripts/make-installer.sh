#!/usr/bin/env bash
# Builds tarvik-setup, Tarvik's installer, with the project's own tools: the setup stub with a
# package, made by mkpackage, of everything `cmake --install` puts in place (Tarvik, tarvik-cli,
# libquenlib.so, simcard, the language files, the manuals, ...), a start bitmap and a
# setup.ini whose "startup" program copies those files under ~/.local, or under
# $TARVIK_PREFIX when that is set.
#
#   scripts/make-installer.sh [--no-build] [BUILD_DIR [OUTPUT]]
#
# BUILD_DIR defaults to build/dev, OUTPUT to BUILD_DIR/tarvik-setup. Without --no-build the
# build tree is brought up to date first. Then, on a machine with the runtime packages:
#
#   ./tarvik-setup /i                          # silent, into ~/.local
#   TARVIK_PREFIX=/opt/tarvik ./tarvik-setup   # with its windows, into /opt/tarvik
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build_first=1
if [[ ${1:-} == --no-build ]]; then
    build_first=0
    shift
fi
build=$(realpath -m "${1:-$root/build/dev}")
output=$(realpath -m "${2:-$build/tarvik-setup}")

if ((build_first)); then
    cmake --build "$build" -j2
fi
for program in "$build/setup/gui/setup" "$build/tools/mkpackage/mkpackage" \
               "$build/setup/installer/tarvik-start-bitmap"; do
    [[ -x $program ]] || { echo "make-installer: $program is not built" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Everything the build installs (programs without their debugging symbols), except the tools
# that make installers.
cmake --install "$build" --prefix "$work/stage" --strip > /dev/null
rm -f "$work/stage/lib/tarvik/setup" "$work/stage/bin/mkpackage"

# The package: setup/ holds what setup itself reads and runs, files/ what gets installed. A
# package holds no links and no permissions: links are copied as the files they lead to, and
# the install program gives every file its mode.
payload=$work/payload
mkdir -p "$payload/setup" "$payload/files"
cp -RL "$work/stage/." "$payload/files/"
mkdir -m 700 "$work/runtime"
XDG_RUNTIME_DIR=$work/runtime "$build/setup/installer/tarvik-start-bitmap" "$payload/setup/tarvik.bmp"

printf '%s\r\n' '[bitmap]' 'Start_Bitmap=tarvik.bmp' '[startup]' '1=install.sh' \
    > "$payload/setup/setup.ini"

cat > "$payload/setup/install.sh" <<'EOF'
#!/bin/sh
# Installs Tarvik from the unpacked package under $TARVIK_PREFIX, or ~/.local. setup runs it
# with its switch (/i, /L) as the only argument, which changes nothing here.
set -eu
files=$(cd "$(dirname "$0")/../files" && pwd)
prefix=${TARVIK_PREFIX:-${HOME:?}/.local}
cd "$files"
find . -type d | while IFS= read -r folder; do
    install -d -m 755 "$prefix/$folder"
done
find . -type f | while IFS= read -r file; do
    case $file in
        ./bin/*|./lib/tarvik/*|./lib/*.so|./lib/*.so.*) mode=755 ;;
        *) mode=644 ;;
    esac
    install -m "$mode" "$file" "$prefix/$file"
done
echo "Tarvik is installed in $prefix"
EOF

mkdir -p "$(dirname "$output")"
"$build/tools/mkpackage/mkpackage" "$build/setup/gui/setup" "$payload" "$output"
chmod 755 "$output"
echo "make-installer: wrote $output"
