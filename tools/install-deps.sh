#!/bin/bash
# Installs, on Debian 12 and as root, whatever building, running and
# testing the setup needs and the machine lacks, for both architectures:
# Wine's 32-bit part is installed even where the machine cannot execute
# it, so the scripts find out what runs by trying (tools/arch.sh).
set -euo pipefail

packages=(
    cmake make python3 bc time
    g++-mingw-w64-i686 binutils-mingw-w64-i686
    g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 googletest
    libz-mingw-w64-dev zlib1g-dev clang libclang-rt-14-dev
    wine wine32:i386 wine64 xvfb xauth fonts-wine fonts-liberation
    imagemagick
    zip unzip libarchive-tools p7zip-full
)

missing=()
for package in "${packages[@]}"; do
    dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
apt-get update -qq
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
