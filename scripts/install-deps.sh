#!/usr/bin/env bash
# Installs what building and testing Keldara needs on Debian 12, skipping what is already there.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config git python3 clang-format
    qt6-base-dev qt6-base-dev-tools qt6-svg-dev libqt6svg6
    libgl-dev libgtest-dev libgmock-dev libbenchmark-dev
    liblnk-utils xvfb xdotool xauth
    fonts-dejavu-core g++-mingw-w64-x86-64-posix
    desktop-file-utils appstream file dpkg-dev binutils lintian
    python3-pyatspi at-spi2-core dbus-x11 python3-fusepy fuse3 libxcb1-dev
    libglib2.0-dev libglib2.0-bin libblkid-dev shared-mime-info gsettings-desktop-schemas
    xdg-utils libfile-mimeinfo-perl sway qt6-wayland
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    SUDO=""
    [[ $(id -u) -eq 0 ]] || SUDO="sudo"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
