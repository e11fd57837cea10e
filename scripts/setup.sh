#!/usr/bin/env bash
# Installs every Debian package the project needs, when it is missing.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    libgtest-dev libgmock-dev
    qt6-base-dev qt6-multimedia-dev libgl-dev gstreamer1.0-plugins-good
    xvfb xauth
    attr tzdata dash rename dosfstools
    libdiscid-dev libglib2.0-dev libcurl4-openssl-dev nlohmann-json3-dev
    libexiv2-dev libtag1-dev flac vorbis-tools exiv2 libimage-exiftool-perl time
    libpcre2-dev libicu-dev
    clang libclang-rt-14-dev
    libqt6svg6
    dpkg-dev desktop-file-utils appstream man-db
    qt6-l10n-tools
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    SUDO=""
    if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
    export DEBIAN_FRONTEND=noninteractive
    $SUDO apt-get update -qq
    $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
