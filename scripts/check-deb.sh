#!/usr/bin/env bash
# Builds the Debian package from the dev build, checks it with lintian (errors fail; the
# output shows warnings too), and runs every program of the unpacked package with --help,
# without a display; each must also have its manual page.
set -euo pipefail
cd "$(dirname "$0")/.."

package=$(scripts/make-deb.sh)
echo "== lintian $package"
lintian --fail-on error "$package"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
dpkg-deb -x "$package" "$scratch"
for program in "$scratch"/usr/bin/*; do
    name=$(basename "$program")
    if [[ ! -f "$scratch/usr/share/man/man1/$name.1.gz" ]]; then
        echo "check-deb.sh: $name has no manual page" >&2
        exit 1
    fi
    env -u DISPLAY -u WAYLAND_DISPLAY LD_LIBRARY_PATH="$scratch/usr/lib" "$program" --help \
        >/dev/null || {
        echo "check-deb.sh: $name --help fails from the package" >&2
        exit 1
    }
done
echo "== $package: $(du -k "$package" | cut -f1) KiB, no lintian errors, every program's --help runs"
