#!/usr/bin/env bash
# Builds the part of Qt 6.4.2 that the editor uses (Core, Gui, Widgets, PrintSupport, Test, the
# windows and offscreen platform plugins, with Qt's bundled zlib, libpng, libjpeg, freetype,
# harfbuzz, pcre2 and double-conversion) as static release libraries for 64-bit Windows, cross-
# compiled with mingw-w64 from Debian's qt6-base source package. The host tools (moc, rcc, uic)
# are Debian's own of the same version (qt6-base-dev-tools).
#
# The result goes to ${XDG_CACHE_HOME:-~/.cache}/tarvik/qt-6.4.2-mingw-<hash>, where <hash> is
# that of this script: a change to the script makes a new folder, and a second run with the
# folder complete does nothing. The source is fetched with apt through a private sources list
# and state folder beside the build, so the system's apt configuration stays as it is.
#
# Environment: TARVIK_QT_JOBS (parallel jobs, default 2), TARVIK_DEBIAN_MIRROR (default
# http://deb.debian.org/debian), TARVIK_QT_KEEP_WORK=1 keeps the source and build folders.
# Prints the folder on its last line. The machine is shared: run it niced, e.g.
#   setsid nice -n 19 scripts/build-qt-windows.sh > qt-build.log 2>&1 &
set -euo pipefail

qtVersion=6.4.2
script=$(readlink -f "${BASH_SOURCE[0]}")
scriptHash=$(sha256sum "$script" | cut -c1-12)
cacheRoot=${XDG_CACHE_HOME:-$HOME/.cache}/tarvik
prefix=$cacheRoot/qt-$qtVersion-mingw-$scriptHash
# The sources and the build tree are kept across versions of this script: a changed script
# configures the same tree again, and only what its options change is built anew. (A link
# there is followed, so the tree keeps the path it was configured under.)
work=$(readlink -m "$cacheRoot/qt-$qtVersion-mingw.work")
stamp=$prefix/tarvik-qt-complete
jobs=${TARVIK_QT_JOBS:-2}
mirror=${TARVIK_DEBIAN_MIRROR:-http://deb.debian.org/debian}
started=$SECONDS

say() { printf '[%s] %s\n' "$(date -u +%H:%M:%S)" "$*"; }

if [[ -f $stamp ]]; then
    say "Qt $qtVersion for Windows is already built"
    echo "$prefix"
    exit 0
fi

mkdir -p "$cacheRoot"
# One build at a time per folder: a second run waits for the first and then finds it done.
exec 9>"$prefix.lock"
if ! flock -n 9; then
    say "another run is building $prefix; waiting for it"
    flock 9
fi
if [[ -f $stamp ]]; then
    say "Qt $qtVersion for Windows is already built"
    echo "$prefix"
    exit 0
fi

# The packages the build needs, installed when missing.
packages=(cmake ninja-build perl dpkg-dev g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
    qt6-base-dev qt6-base-dev-tools)
missing=()
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
sudoCmd=()
[[ $(id -u) -eq 0 ]] || sudoCmd=(sudo)
if ((${#missing[@]} > 0)); then
    say "installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    "${sudoCmd[@]}" apt-get update -qq
    "${sudoCmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
hostVersion=$(dpkg-query -W -f='${Version}' qt6-base-dev-tools)
if [[ $hostVersion != "$qtVersion"[+-]* ]]; then
    echo "The host tools must be Qt $qtVersion; qt6-base-dev-tools is $hostVersion" >&2
    exit 1
fi

# The source, through apt with its own sources list, lists, cache and keyring reference.
mkdir -p "$work"
srcParent=$work/source
if [[ ! -f $srcParent/done ]]; then
    say "fetching the qt6-base source"
    rm -rf "$srcParent" "$work/apt"
    mkdir -p "$srcParent" "$work/apt/sources.list.d" "$work/apt/state/lists/partial" \
        "$work/apt/cache/archives/partial"
    codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
    echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $mirror $codename main" \
        >"$work/apt/sources.list"
    aptOptions=(-o "Dir::Etc::SourceList=$work/apt/sources.list"
        -o "Dir::Etc::SourceParts=$work/apt/sources.list.d"
        -o "Dir::State=$work/apt/state" -o "Dir::Cache=$work/apt/cache"
        -o "Dir::State::status=/var/lib/dpkg/status")
    # apt downloads as its own unprivileged user, who cannot write into a private folder.
    [[ $(id -u) -ne 0 ]] || aptOptions+=(-o APT::Sandbox::User=root)
    apt-get "${aptOptions[@]}" -qq update
    (cd "$srcParent" && apt-get "${aptOptions[@]}" -qq source "qt6-base")
    touch "$srcParent/done"
fi
src=$(find "$srcParent" -maxdepth 1 -type d -name "qt6-base-$qtVersion*" | head -n1)
if [[ -z $src || ! -f $src/CMakeLists.txt ]]; then
    echo "No qt6-base-$qtVersion source in $srcParent (is the mirror's version another?)" >&2
    exit 1
fi

# The compilers: the posix-thread mingw-w64 ones, as the project's own Windows build uses.
cat >"$work/toolchain.cmake" <<'TOOLCHAIN'
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
TOOLCHAIN

build=$work/build
features=(
    # Wanted: the widgets, printing and the test library for the editor's own tests.
    gui widgets printsupport testlib
    # Qt's own copies of the third-party libraries, so nothing of the build machine is linked.
    -system_zlib -system_png -system_jpeg -system_freetype -system_harfbuzz -system_pcre2
    -system_doubleconversion
    # Everything else is left out.
    -network -sql -dbus -xml -concurrent -opengl -opengles2 -opengl_dynamic -opengl_desktop
    -vulkan -direct2d -icu -glib -zstd -brotli -pkg_config -androiddeployqt -qmake
    # Debian's source leaves out the tablet library's header (src/3rdparty/wintab), which the
    # windows platform plugin needs only for tablet events.
    -tabletevent
)
featureOptions=()
for feature in "${features[@]}"; do
    if [[ $feature == -* ]]; then
        featureOptions+=("-DFEATURE_${feature#-}=OFF")
    else
        featureOptions+=("-DFEATURE_$feature=ON")
    fi
done

# Configured on every run, so that a tree configured by an earlier version of this script
# takes the options of this one.
say "configuring $src"
cmake -G Ninja -S "$src" -B "$build" \
    -DCMAKE_TOOLCHAIN_FILE="$work/toolchain.cmake" \
    -DQT_HOST_PATH=/usr \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_BUILD_TYPE=Release \
    -DBUILD_SHARED_LIBS=OFF \
    -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
    -DQT_BUILD_TOOLS_WHEN_CROSSCOMPILING=OFF \
    -DINPUT_opengl=no \
    "${featureOptions[@]}"
configured=$SECONDS

say "building with $jobs jobs"
cmake --build "$build" --parallel "$jobs"
compiled=$SECONDS

say "installing into $prefix"
rm -rf "$prefix"
cmake --install "$build"

size=$(du -sh "$prefix" | cut -f1)
{
    echo "Qt $qtVersion (Debian source $(basename "$src")) for x86_64 mingw-w64, static, release"
    echo "script hash $scriptHash"
    echo "configured in $((configured - started)) s, built in $((compiled - configured)) s, $jobs jobs"
    echo "installed size $size"
} >"$prefix/tarvik-qt-build.txt"
[[ ${TARVIK_QT_KEEP_WORK:-0} == 1 ]] || rm -rf "$work"
touch "$stamp"
say "done in $((SECONDS - started)) s (building $((compiled - configured)) s), $size"
echo "$prefix"
