#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need, when missing.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev
    libpcsclite-dev pcscd vsmartcard-vpcd pcsc-tools
    libgtest-dev libgmock-dev libbenchmark-dev
    nlohmann-json3-dev
    libsystemd-dev dbus-daemon python3-dbus python3-gi
    help2man dpkg-dev file lintian
    shared-mime-info poppler-utils
    bash-completion python3 clang-tidy
    qt6-translations-l10n
    fonts-dejavu-core fonts-noto-core fonts-noto-mono
)

missing=()
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$package")
done

if ((${#missing[@]} == 0)); then
    exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then
    sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
