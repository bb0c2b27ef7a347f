#!/bin/bash
# Installs, on Debian 12 and as root, whatever building, running and
# testing the setup needs and the machine lacks, for both architectures:
# Wine's 32-bit part is installed even where the machine cannot execute
# it, so the scripts find out what runs by trying (tools/arch.sh). There,
# it then prepares Wine's 32-bit loader under emulation in the build tree.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/arch.sh

packages=(
    cmake make python3 bc time gcc binutils
    g++-mingw-w64-i686 binutils-mingw-w64-i686
    g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 googletest
    libz-mingw-w64-dev zlib1g-dev clang libclang-rt-14-dev
    wine wine32:i386 wine64 xvfb xauth fonts-wine fonts-liberation fonts-ipafont-gothic
    imagemagick
    zip unzip libarchive-tools p7zip-full
    osslsigncode openssl locales python3-jsonschema python3-yaml
)

missing=()
for package in "${packages[@]}"; do
    dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
    # A mirror caught mid-sync fails one index now and then; what the
    # other indexes hold is enough unless the install below says not.
    for attempt in 1 2 3; do
        apt-get update -qq && break
        echo "apt-get update failed (attempt $attempt); going on" >&2
        sleep 10
    done
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
fi

# Wine takes its code page and its language from the locale, where the
# machine has made it: besides C.UTF-8 (1252, English), the tests and the
# main job run in German, French, Spanish (1252), Polish (1250), Japanese
# (932) and Hindi, which has no ANSI code page, so Wine's is UTF-8.
for name in de_DE fr_FR es_ES pl_PL ja_JP hi_IN; do
    locale -a | grep -qx "$name.utf8" || localedef -i "$name" -c -f UTF-8 "$name.UTF-8"
done

if [ "$(win32_loader_kind)" = emulated ]; then
    tools/emulated-win32/prepare.sh "$EMULATED_WIN32"
fi
