#!/usr/bin/env bash
# Builds the Debian packages of the dev build into build/dev/ (building what is missing
# first): one package per install component that packaging/control names (tarvik,
# libquenlib1, libquenlib-dev, tarvik-tools), each made of what
# `cmake --install --component PACKAGE --prefix /usr` installs, with the dpkg tools as a
# Debian source package uses them: dpkg-gensymbols checks the library against its symbols
# file, dpkg-shlibdeps finds each package's dependencies, dpkg-gencontrol writes the control
# file. Prints the packages' paths on standard output, one a line, everything else on
# standard error.
set -euo pipefail
cd "$(dirname "$0")/.."
umask 022

build=build/dev
scripts/install-deps.sh >&2
# The packages lay the library out as Debian does; a build tree configured before that was
# the default gets it set here.
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
cmake --preset dev -DCMAKE_INSTALL_LIBDIR:PATH="lib/$multiarch" >/dev/null
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
# The changelog's newest entry must describe the version being packaged.
changelog_version=$(dpkg-parsechangelog -l packaging/changelog -S Version)
if [[ "$changelog_version" != "$version" ]]; then
    echo "make-deb.sh: packaging/changelog has no entry for version $version" >&2
    exit 1
fi
cmake --build --preset dev -j "$(nproc)" >&2

# The dpkg tools work in a source tree: debian/control and debian/changelog, and one folder
# per package.
work=$build/deb
rm -rf "$work"
mkdir -p "$work/debian"
cp packaging/control packaging/changelog "$work/debian/"
mapfile -t packages < <(sed -n 's/^Package: //p' packaging/control)

# Every file must belong to a package: an install() rule without a component would be lost.
cmake --install "$build" --component Unspecified --prefix "$PWD/$work/unspecified" >/dev/null
if [[ -n $(find "$work/unspecified" -type f 2>/dev/null) ]]; then
    echo "make-deb.sh: installed by install() rules without a COMPONENT (a package):" >&2
    find "$work/unspecified" -type f >&2
    exit 1
fi

is_elf() { [[ $(head -c4 "$1" | od -An -tx1 | tr -d ' \n') == 7f454c46 ]]; }

for package in "${packages[@]}"; do
    stage=$work/debian/$package
    DESTDIR=$PWD/$stage cmake --install "$build" --component "$package" --prefix /usr --strip \
        >/dev/null
    # Installed into a prefix of their own, the programs find libquenlib through their run
    # path; the packages put it where the dynamic linker looks, and Debian allows no run path
    # that is not needed.
    # What `cmake --install --strip` leaves of the compiler's notes goes as well, as dh_strip
    # removes it.
    while IFS= read -r -d '' file; do
        if is_elf "$file"; then
            cmake -DFILE="$file" -P packaging/RemoveRunPath.cmake >/dev/null
            strip --remove-section=.comment --remove-section=.note "$file"
        fi
    done < <(find "$stage" -type f -print0)
    mkdir -p "$stage/DEBIAN"
    if [[ -f packaging/lintian/$package ]]; then
        install -D -m 644 "packaging/lintian/$package" "$stage/usr/share/lintian/overrides/$package"
    fi
done

# The library's symbols file, checked against the library: -c4 fails on any export that the
# file lacks or that the library lost, so the two cannot drift apart.
symbols=$(echo "$PWD/$build"/packaging/libquenlib*.symbols)
library_package=$(awk 'NR == 1 { print $2 }' "$symbols")
(cd "$work" && dpkg-gensymbols -p"$library_package" -P"debian/$library_package" -I"$symbols" -c4) >&2
# The shlibs file, for tools that read no symbols file: they get the version being built, the
# need of the newest export.
soname=$(sed -n '1s/ .*//p' "$symbols")
printf '%s %s %s\n' "${soname%.so.*}" "${soname##*.so.}" "$library_package (>= $version)" \
    >"$work/debian/$library_package/DEBIAN/shlibs"
# The library's cache is refreshed by libc's ldconfig trigger, as Debian asks.
printf 'activate-noawait ldconfig\n' >"$work/debian/$library_package/DEBIAN/triggers"

for package in "${packages[@]}"; do
    stage=debian/$package
    mapfile -d '' -t files < <(cd "$work" && find "$stage" -type f -print0 | sort -z)
    binaries=()
    for file in "${files[@]}"; do
        is_elf "$work/$file" && binaries+=("$file")
    done
    (
        cd "$work"
        touch "debian/$package.substvars"
        if ((${#binaries[@]})); then
            # -S: libquenlib comes from the package built beside, with its symbols file.
            dpkg-shlibdeps -T"debian/$package.substvars" -S"debian/$library_package" \
                "${binaries[@]}"
        fi
        find "$stage" -path "$stage/DEBIAN" -prune -o -type f -printf '%P\0' | sort -z \
            | (cd "$stage" && xargs -0r md5sum) >"$stage/DEBIAN/md5sums"
        dpkg-gencontrol -p"$package" -P"$stage" -T"debian/$package.substvars" \
            -fdebian/files
    ) >&2
    find "$work/$stage" -type d -exec chmod 755 {} +
    dpkg-deb --root-owner-group -Zxz --build "$work/$stage" "$build/" >&2
    echo "$build/${package}_${version}_$(dpkg --print-architecture).deb"
done
