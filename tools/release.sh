#!/bin/bash
# Builds a release: the Win32 and the Win64 build in release mode, each
# from a clean build folder of its own (build/release-ARCH), and for each
# architecture OUT/ARCH/ (default dist/): CorvaneSetup.exe, the one file to
# download, which carries the three others; SETUP.EXE, DUNZIP32.DLL and
# CORVANE.ZIP, for tools that stage a folder; SHA256SUMS over the four, in
# the form `sha256sum -c` reads; and the package manager's manifest,
# Melvro.CorvanePro32.yaml.
#
#   bash tools/release.sh [OUT]
#
#   CORVANE_CODE=CODE            the archive's decrypt code; else the demo code
#   CORVANE_SIGN_PKCS12=FILE     sign every program and DLL with this key and
#   CORVANE_SIGN_PASSWORD=WORD   certificate (Authenticode, SHA-256), the
#                                copies in the archive too
#   CORVANE_SIGN_TIMESTAMP=URL   a time-stamp server for the signatures
#   CORVANE_ARCH=win32|win64     one architecture only
#   CORVANE_RELEASE_URL=URL      where the release is published: the manifest
#                                gives URL/ARCH/CorvaneSetup.exe; else a
#                                placeholder that says so
#
# Two releases of one commit and code are byte-identical, wherever their
# trees lie: the programs carry no link time and no build path, the
# archive's members carry the commit's time, and the archive's encryption
# headers, which zip draws from a generator it seeds from the clock, come
# from a generator seeded from what is packed and its code. A release that
# fails, in signing say, leaves OUT as it was: everything is made beside it
# and moved in whole.
set -euo pipefail
out=$(realpath -m "${1:-$(dirname "$0")/../dist}")
cd "$(dirname "$0")/.."

architectures=(win32 win64)
[ -z "${CORVANE_ARCH:-}" ] || architectures=("$CORVANE_ARCH")

tools/install-deps.sh

code=${CORVANE_CODE:-}
if [ -z "$code" ]; then
    code=Corvane2
    echo "CORVANE_CODE is not set: the archive takes the demo code $code."
fi
# The setup hands the code to the library in the user's code page, so only
# what every code page holds alike, printable ASCII, is the same code for
# every user.
case "$code" in
    *'*'*) echo "$0: the code may not hold a '*'" >&2; exit 1 ;;
    *[!\ -~]*) echo "$0: the code may hold only printable ASCII characters" >&2; exit 1 ;;
esac

# The archive's members take the commit's time; a tree that is no clone
# takes the ZIP format's first day.
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || echo 315532800)}

mkdir -p "$(dirname "$out")"
staging=$(mktemp -d "$(dirname "$out")/.release.XXXXXX")
chmod 755 "$staging"
private=$(mktemp -d)
trap 'rm -rf "$staging" "$private"' EXIT

# The password goes to the signer in a file only this user can read, never
# on a command line that every process can see.
signing=0
if [ -n "${CORVANE_SIGN_PKCS12:-}" ]; then
    (umask 077 && printf '%s' "${CORVANE_SIGN_PASSWORD:-}" > "$private/password")
    if ! openssl pkcs12 -in "$CORVANE_SIGN_PKCS12" -passin "file:$private/password" -noout 2>/dev/null; then
        echo "$0: $CORVANE_SIGN_PKCS12 cannot be opened with CORVANE_SIGN_PASSWORD: nothing is released" >&2
        exit 1
    fi
    signing=1
else
    echo "CORVANE_SIGN_PKCS12 is not set: nothing is signed."
fi
# The code, for CorvaneSetup.exe to carry, goes to its build in a file too.
(umask 077 && printf '%s' "$code" > "$private/code")

# zip seeds the generator of its encryption headers once, with srand(), from
# the clock and its process id. This shim, preloaded into zip, gives that
# call ZIP_SEED instead, so that what is packed decides the headers.
cat > "$private/seed.c" <<'SHIM'
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdlib.h>
void srand(unsigned seed)
{
    void (*seeded)(unsigned) = (void (*)(unsigned))dlsym(RTLD_NEXT, "srand");
    const char* fixed = getenv("ZIP_SEED");
    seeded(fixed ? (unsigned)strtoul(fixed, NULL, 10) : seed);
}
SHIM
gcc -shared -fPIC -O2 -o "$private/seed.so" "$private/seed.c" -ldl

sign() {
    local file=$1
    local timestamp=()
    [ -z "${CORVANE_SIGN_TIMESTAMP:-}" ] || timestamp=(-ts "$CORVANE_SIGN_TIMESTAMP")
    if ! osslsigncode sign -pkcs12 "$CORVANE_SIGN_PKCS12" -readpass "$private/password" -h sha256 \
        -n "Corvane Pro32 2.0" "${timestamp[@]}" -in "$file" -out "$file.signed" >"$private/signer.log" 2>&1; then
        cat "$private/signer.log" >&2
        echo "$0: $(basename "$file") could not be signed: nothing is released" >&2
        exit 1
    fi
    mv "$file.signed" "$file"
    echo "Signed $(basename "$file")"
}

for arch in "${architectures[@]}"; do
    build=build/release-$arch
    toolchain=cmake/mingw-i686.cmake
    [ "$arch" = win64 ] && toolchain=cmake/mingw-x86_64.cmake
    echo "Building $arch in $build"
    rm -rf "$build"
    cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release -DCORVANE_TESTS=OFF >/dev/null
    cmake --build "$build" --target payload -j"$(nproc)" >/dev/null

    # The members are signed where they are packed, so that the archive
    # holds the signed programs and the folder the same ones.
    payload=$staging/$arch/payload
    mkdir -p "$payload"
    cp "$build/payload/"* "$payload/"
    if [ $signing = 1 ]; then
        for file in "$payload/"*.EXE "$payload/"*.DLL; do
            sign "$file"
        done
    fi
    touch -d "@$SOURCE_DATE_EPOCH" "$payload/"*
    seed=$(cat "$private/code" "$payload/"* | sha256sum | cut -c1-8)
    TZ=UTC ZIP_SEED=$((16#$seed)) LD_PRELOAD="$private/seed.so" \
        tools/pack.sh "$payload" "$code" "$staging/$arch/CORVANE.ZIP" >/dev/null
    cp "$payload/SETUP.EXE" "$payload/DUNZIP32.DLL" "$staging/$arch/"
    rm -rf "$payload"

    # The one file carries the very bytes of the three.
    cmake -S . -B "$build" -DCORVANE_CARRIED_DIR="$staging/$arch" -DCORVANE_CARRIED_CODE_FILE="$private/code" >/dev/null
    cmake --build "$build" --target corvane_setup >/dev/null
    cp "$build/product/CorvaneSetup.exe" "$staging/$arch/"
    [ $signing = 0 ] || sign "$staging/$arch/CorvaneSetup.exe"
    (cd "$staging/$arch" && sha256sum CorvaneSetup.exe SETUP.EXE DUNZIP32.DLL CORVANE.ZIP > SHA256SUMS)
    python3 tools/winget_manifest.py "$arch" "$staging/$arch/CorvaneSetup.exe" \
        "$staging/$arch/Melvro.CorvanePro32.yaml" "${CORVANE_RELEASE_URL:-}"
done

rm -rf "$out"
mv "$staging" "$out"
for arch in "${architectures[@]}"; do
    echo "$out/$arch:"
    (cd "$out/$arch" && stat -c '  %n, %s bytes' CorvaneSetup.exe SETUP.EXE DUNZIP32.DLL CORVANE.ZIP)
done
[ $signing = 1 ] && echo "Signed with $CORVANE_SIGN_PKCS12." || echo "Unsigned."
[ -n "${CORVANE_RELEASE_URL:-}" ] || echo "CORVANE_RELEASE_URL is not set: the manifests name a placeholder address."
