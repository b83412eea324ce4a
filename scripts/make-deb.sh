#!/usr/bin/env bash
# Builds the Debian package build/dev/tarvik_<version>_amd64.deb from the dev build (building
# what is missing first) with cpack: everything that `cmake --install` installs, under /usr.
# Prints the package's path on standard output, everything else on standard error.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh >&2
cmake --preset dev >/dev/null
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' build/dev/CPackConfig.cmake)
# The changelog's newest entry must describe the version being packaged.
changelog_version=$(dpkg-parsechangelog -l packaging/changelog -S Version)
if [[ "$changelog_version" != "$version" ]]; then
    echo "make-deb.sh: packaging/changelog has no entry for version $version" >&2
    exit 1
fi

cmake --build --preset dev -j "$(nproc)" >&2
cpack --config build/dev/CPackConfig.cmake >&2
echo "build/dev/tarvik_${version}_$(dpkg --print-architecture).deb"
