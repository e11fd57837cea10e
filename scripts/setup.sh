#!/usr/bin/env bash
# Installs the Debian packages the project needs, when they are missing:
#   scripts/setup.sh           what building and running the program need (./run.sh)
#   scripts/setup.sh --tests   that and the test toolchain too (./test.sh)
# As root it runs apt-get itself, otherwise through sudo; it says what it
# installs before it does.
set -euo pipefail

# Building and running the program.
packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-multimedia-dev libgl-dev gstreamer1.0-plugins-good
    attr
    libdiscid-dev libglib2.0-dev libcurl4-openssl-dev nlohmann-json3-dev
    libexiv2-dev libtag1-dev
    libpcre2-dev libicu-dev
    libqt6svg6
    qt6-l10n-tools
)

# The tests, the sanitizer and fuzz builds, and the check of the Debian package.
test_packages=(
    libgtest-dev libgmock-dev
    xvfb xauth
    tzdata dash rename dosfstools
    clang libclang-rt-14-dev
    dpkg-dev desktop-file-utils appstream man-db lintian libglib2.0-bin
    flac vorbis-tools exiv2 libimage-exiftool-perl time
)

case ${1:-} in
    '') ;;
    --tests) packages+=("${test_packages[@]}") ;;
    *)
        echo "usage: scripts/setup.sh [--tests]" >&2
        exit 2
        ;;
esac

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
if ((${#missing[@]} == 0)); then
    exit 0
fi

# sudo would drop DEBIAN_FRONTEND from the environment: env passes it on.
if [ "$(id -u)" -eq 0 ]; then
    as_root=(env)
elif command -v sudo >/dev/null 2>&1; then
    as_root=(sudo env)
else
    echo "setup: these packages are missing: ${missing[*]}" >&2
    echo "setup: installing them needs root; run this as root, or install sudo" >&2
    exit 1
fi
echo "Installing: ${missing[*]}"
"${as_root[@]}" DEBIAN_FRONTEND=noninteractive apt-get update -qq
"${as_root[@]}" DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    "${missing[@]}"
