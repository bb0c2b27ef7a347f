#!/bin/bash
# The release command from two clones in different folders, unsigned, signed
# with a throwaway certificate, and with a wrong password; what a user checks
# of them; and the signed CorvaneSetup.exe's round trip under Wine, in PREFIX.
#
#   release_test.sh SOURCE WORK
set -uo pipefail
source=$1 work=$2 code=Corvane2  # the demo code, which the releases take
failures=0
check() {
    local what=$1
    shift
    if "$@" >/dev/null 2>&1; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1
git clone -q "$source" one/corvane && git clone -q "$source" two/deeper/corvane || exit 1

# A throwaway code-signing certificate, its own authority.
openssl req -x509 -newkey rsa:2048 -nodes -keyout signer.key -out signer.pem -days 2 -subj "/CN=Corvane Test Signer" \
    -addext extendedKeyUsage=codeSigning -addext keyUsage=critical,digitalSignature 2>/dev/null
openssl pkcs12 -export -inkey signer.key -in signer.pem -passout pass:right -out signer.p12

# TREE LOG OUT [VARIABLE=VALUE...]: a tree's release command, its output in LOG.
release() { env "${@:4}" "$1/tools/release.sh" "$3" > "$2" 2>&1; }
fails() { ! "$@"; }
key=CORVANE_SIGN_PKCS12=$work/signer.p12
check "the unsigned release completes" release one/corvane one.log one/dist
check "the signed release completes" release two/deeper/corvane two.log two/dist "$key" CORVANE_SIGN_PASSWORD=right
check "the other clone's unsigned release completes" release two/deeper/corvane three.log three/dist
check "a wrong password stops it" fails release one/corvane refused.log refused "$key" CORVANE_SIGN_PASSWORD=wrong
check "the unsigned one says it took the demo code and signed nothing" \
    sh -c 'grep -q "CORVANE_CODE is not set" one.log && grep -q "nothing is signed" one.log'
check "the refused one says why and leaves no release" \
    sh -c 'grep -q "cannot be opened with CORVANE_SIGN_PASSWORD" refused.log && test ! -e refused'

# Two unsigned releases from different clones: the same bytes, file by file.
for arch in win32 win64; do
    for file in one/dist/$arch/*; do
        check "$file is the other clone's" cmp "$file" "three/${file#one/}"
    done
done

# The one file, its checksum and manifest. The manifest is valid for the
# package manager and names the file's own digest.
schema=$source/tests/release/winget/manifest.singleton.1.10.0.json
for arch in win32 win64; do
    check "the signed $arch CorvaneSetup.exe is signed by the throwaway certificate" \
        osslsigncode verify -CAfile signer.pem "two/dist/$arch/CorvaneSetup.exe"
    for release in one two; do
        check "$release's $arch SHA256SUMS lists CorvaneSetup.exe" grep -q " CorvaneSetup.exe$" "$release/dist/$arch/SHA256SUMS"
        check "$release's $arch manifest is valid and names its CorvaneSetup.exe" python3 "$source/tests/release/check_manifest.py" \
            "$release/dist/$arch/Melvro.CorvanePro32.yaml" "$schema" "$release/dist/$arch/CorvaneSetup.exe"
    done
done

# Each file of the unsigned release against its counterpart in the signed
# one: the programs and DLLs signed, and the same once the signature is
# off; the rest the same as it is.
for release in one two; do
    for arch in win32 win64; do
        mkdir -p "$release/members/$arch"
        unzip -q -P "$code" "$release/dist/$arch/CORVANE.ZIP" -d "$release/members/$arch"
        (cd "$release/dist/$arch" && check "$release's $arch checksums hold" sha256sum -c --quiet SHA256SUMS)
    done
done
times() { zipinfo -T "$1/dist/win32/CORVANE.ZIP" | awk 'NF == 8 { print $7, $8 }'; }  # members' times, names
check "the members bear the same times in both" test "$(times one)" = "$(times two)"
for unsigned in one/members/*/* one/dist/*/SETUP.EXE one/dist/*/DUNZIP32.DLL; do
    signed=two/${unsigned#one/}
    case "$unsigned" in
        *.EXE | *.DLL)
            check "$signed is signed by the throwaway certificate" osslsigncode verify -CAfile signer.pem "$signed"
            osslsigncode remove-signature -in "$signed" -out "$signed.unsigned" >/dev/null 2>&1
            check "$unsigned is $signed, its signature taken off" cmp "$unsigned" "$signed.unsigned" ;;
        *) check "$unsigned is $signed" cmp "$unsigned" "$signed" ;;
    esac
done

# The setup's exit code for a completed run is 1. The one file installs
# with the code it carries.
completes() { "$source/tools/wine-run.sh" --prefix "$PREFIX" --arch win64 "$@"; [ $? = 1 ]; }
signed=$work/two/dist/win64
check "the signed CorvaneSetup.exe installs" completes "$signed/CorvaneSetup.exe" /quiet /noicons '/dir=C:\SignedCorvane'
check "the signed copy" cmp "$signed/SETUP.EXE" "$PREFIX/drive_c/SignedCorvane/SETUP.EXE"
check "and removes it" completes "$signed/SETUP.EXE" /quiet UNINSTALL
check "leaving nothing of it" test ! -e "$PREFIX/drive_c/SignedCorvane"
exit $((failures > 0))
