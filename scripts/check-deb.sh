#!/usr/bin/env bash
# Builds the Debian packages from the dev build (scripts/make-deb.sh) and checks them as a user
# and a developer meet them:
#  - lintian, pedantic: every tag fails the check unless packaging/lintian/PACKAGE overrides
#    it, with the reason beside it;
#  - what goes where: /usr/bin holds only what a user calls (tarvik and tarvik-cli in tarvik,
#    the tools in tarvik-tools), each with its manual page in the same package; the library in
#    the multiarch folder; the installer stub off the PATH;
#  - libquenlib1's symbols file names exactly the library's exports, none newer than the package;
#  - apt would install the packages together on this system (simulated);
#  - installed into a throwaway root with dpkg (no system install): tarvik-cli --version,
#    tarvik --help without a display, every program's --help, a C program built with
#    `pkg-config --cflags --libs quenlib` alone and run, and mkpackage with the installed stub.
# Prints how long the packages took to build and to check.
set -euo pipefail
cd "$(dirname "$0")/.."
export LC_ALL=C

started=$(date +%s%N)
mapfile -t debs < <(scripts/make-deb.sh)
built=$(date +%s%N)

fail() {
    echo "check-deb.sh: $*" >&2
    exit 1
}

multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
declare -A deb_of
for deb in "${debs[@]}"; do
    deb_of[$(dpkg-deb -f "$deb" Package)]=$deb
done
for package in tarvik libquenlib1 libquenlib-dev tarvik-tools; do
    [[ -n ${deb_of[$package]:-} ]] || fail "make-deb.sh built no package $package"
done

echo "== lintian ${debs[*]}"
lintian --pedantic --display-info --fail-on error,warning,info,pedantic "${debs[@]}"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# The files of a package, one a line, as /usr/... (directories left out).
files_of() {
    dpkg-deb --fsys-tarfile "${deb_of[$1]}" | tar -t | sed -n 's|^\./|/|; /[^/]$/p' | sort
}
for package in "${!deb_of[@]}"; do
    files_of "$package" >"$scratch/$package.files"
done

echo "== what goes where"
# What a user calls and nothing else: the editor and its command line in tarvik; in
# tarvik-tools, the tools a developer or tester runs by hand (each documented in the README
# and in its manual page). The stub and simcard's pcscd guard are started only by other
# programs and stay in /usr/lib/tarvik.
declare -A expected_bin=(
    [tarvik]="tarvik tarvik-cli"
    [libquenlib1]=""
    [libquenlib-dev]=""
    [tarvik-tools]="gsmmodem mkpackage simcard simcard-session"
)
for package in "${!expected_bin[@]}"; do
    listing=$scratch/$package.files
    bin=$(sed -n 's|^/usr/bin/||p' "$listing" | xargs)
    [[ $bin == "${expected_bin[$package]}" ]] ||
        fail "$package puts '$bin' in /usr/bin, expected '${expected_bin[$package]}'"
    for program in $bin; do
        grep -qx "/usr/share/man/man1/$program.1.gz" "$listing" ||
            fail "$package: $program has no manual page"
    done
    while read -r page; do
        grep -qx "/usr/bin/$page" "$listing" || fail "$package: manual page $page.1 of no program"
    done < <(sed -n 's|^/usr/share/man/man1/\(.*\)\.1\.gz$|\1|p' "$listing")
    while read -r completion; do
        grep -qx "/usr/bin/$completion" "$listing" ||
            fail "$package: bash completion $completion of no program"
    done < <(sed -n 's|^/usr/share/bash-completion/completions/||p' "$listing")
done
libdir=/usr/lib/$multiarch
expect_files() {
    local package=$1 pattern=$2
    local found
    found=$(grep -Ev '^/usr/share/(doc|lintian)/' "$scratch/$package.files" | xargs)
    [[ $found =~ ^$pattern$ ]] || fail "$package holds '$found', expected /$pattern/"
}
expect_files libquenlib1 "$libdir/libquenlib\.so\.1 $libdir/libquenlib\.so\.1\.[0-9.]+"
expect_files libquenlib-dev \
    "/usr/include/quenlib\.h /usr/include/quenlib_case\.h $libdir/libquenlib\.so $libdir/pkgconfig/quenlib\.pc"
grep -qx /usr/lib/tarvik/setup "$scratch/tarvik-tools.files" ||
    fail "tarvik-tools lacks the installer stub /usr/lib/tarvik/setup"
if [[ -n $(sort "$scratch"/*.files | uniq -d) ]]; then
    fail "files in more than one package: $(sort "$scratch"/*.files | uniq -d | xargs)"
fi

echo "== libquenlib1's symbols file against the library"
version=$(dpkg-deb -f "${deb_of[libquenlib1]}" Version)
dpkg-deb -I "${deb_of[libquenlib1]}" symbols >"$scratch/symbols"
dpkg-deb -x "${deb_of[libquenlib1]}" "$scratch/libquenlib1"
library=$scratch/libquenlib1$libdir/libquenlib.so.1
soname=$(objdump -p "$library" | awk '$1 == "SONAME" { print $2 }')
[[ $(head -n1 "$scratch/symbols") == "$soname libquenlib1 #MINVER#" ]] ||
    fail "the symbols file is not for $soname in libquenlib1: $(head -n1 "$scratch/symbols")"
diff <(sed -n 's/^ \([^@ ]*\)@Base .*/\1/p' "$scratch/symbols" | sort) \
    <(nm -D --defined-only "$library" | awk '{ print $3 }' | sort) ||
    fail "the symbols file (<) and the library's exports (>) differ"
while read -r symbol since; do
    dpkg --compare-versions "$since" le "$version" ||
        fail "$symbol is said to come with $since, after the package's version $version"
done < <(sed -n 's/^ \([^ ]*\) \([^ ]*\)$/\1 \2/p' "$scratch/symbols")
grep -q 'QLSIM_GetICCID@Base' "$scratch/symbols" || fail "the symbols file lacks QLSIM_GetICCID"
depends=$(dpkg-deb -f "${deb_of[tarvik]}" Depends)
versioned_dependency='(^|, )libquenlib1 \(>= [^)]+\)'
[[ $depends =~ $versioned_dependency ]] ||
    fail "tarvik does not depend on libquenlib1 with a version: $depends"

echo "== apt would install them together"
apt-get install --simulate -qq "${debs[@]/#/$PWD/}" >"$scratch/apt.log" 2>&1 || {
    cat "$scratch/apt.log" >&2
    fail "apt cannot install the packages together"
}

echo "== installed into a throwaway root"
root=$scratch/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status"
# The root holds only these packages, not the libraries they depend on, which the programs
# take from the system; without maintainer scripts, nothing runs inside the root.
dpkg --root="$root" --log=/dev/null --force-depends,script-chrootless,not-root \
    --install "${debs[@]}" >"$scratch/dpkg.log" 2>&1 || {
    cat "$scratch/dpkg.log" >&2
    fail "dpkg cannot install the packages into $root"
}
run() {
    env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen \
        LD_LIBRARY_PATH="$root$libdir" "$@"
}
# The programs load the root's library, not one the system may have installed.
[[ $(run ldd "$root/usr/bin/tarvik-cli") == *"libquenlib.so.1 => $root$libdir/"* ]] ||
    fail "tarvik-cli does not load libquenlib.so.1 from the root"
answer=$(run "$root/usr/bin/tarvik-cli" --version) || fail "tarvik-cli --version fails"
[[ $answer == "tarvik-cli $version"$'\n'* ]] || fail "tarvik-cli --version says '$answer'"
answer=$(run "$root/usr/bin/tarvik" --help) || fail "tarvik --help fails"
[[ $answer == *tarvik* ]] || fail "tarvik --help says '$answer'"
for program in "$root"/usr/bin/*; do
    run "$program" --help >/dev/null || fail "$(basename "$program") --help fails"
done

# A program built against libquenlib-dev with pkg-config alone. System folders are kept in
# pkg-config's answer, so that the sysroot before them shows.
cat >"$scratch/card.c" <<'EOF'
#include <quenlib.h>
#include <stdio.h>

int main(void) {
    /* Disconnecting without a connection is allowed and succeeds. */
    if (QLSIM_Disconnect(NULL) != QL_OK) {
        return 1;
    }
    puts("quenlib linked");
    return 0;
}
EOF
flags=$(PKG_CONFIG_SYSROOT_DIR=$root PKG_CONFIG_LIBDIR=$root$libdir/pkgconfig \
    PKG_CONFIG_ALLOW_SYSTEM_CFLAGS=1 PKG_CONFIG_ALLOW_SYSTEM_LIBS=1 \
    pkg-config --cflags --libs quenlib | xargs) || fail "pkg-config does not know quenlib"
[[ $flags == "-I$root/usr/include -L$root$libdir -lquenlib" ]] ||
    fail "pkg-config --cflags --libs quenlib gives '$flags'"
# shellcheck disable=SC2086 # the flags are words
cc -std=c99 -Wall -Wextra -Werror "$scratch/card.c" $flags -o "$scratch/card" ||
    fail "a C program does not build against libquenlib-dev"
[[ $(run "$scratch/card") == "quenlib linked" ]] || fail "the C program built with Quenlib fails"

# mkpackage finds the installed stub by its bare name, with no "setup" on the PATH.
mkdir -p "$scratch/payload/setup"
printf '[startup]\r\n' >"$scratch/payload/setup/setup.ini"
(cd "$scratch" && PATH=/usr/bin:/bin run "$root/usr/bin/mkpackage" setup payload installer) ||
    fail "mkpackage does not find the installed stub"
stub=$root/usr/lib/tarvik/setup
cmp -s -n "$(stat -c %s "$stub")" "$stub" "$scratch/installer" ||
    fail "mkpackage did not build on the installed stub"

finished=$(date +%s%N)
seconds() { printf '%d.%01d' $(($1 / 1000000000)) $(($1 / 100000000 % 10)); }
echo "== ${#debs[@]} packages built in $(seconds $((built - started))) s, checked in" \
    "$(seconds $((finished - built))) s: no lintian tags, each file where it belongs," \
    "symbols as exported, installable together, the programs and a C program run from a" \
    "throwaway root"
