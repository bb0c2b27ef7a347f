#!/bin/bash
# The release command as a packager uses it, from two clones in different
# folders: once without a certificate, once signed with a throwaway one
# made here, and once with a wrong password. Then what a user checks: the
# same bytes from both (the signed ones with their signatures taken off),
# the signatures against the throwaway authority, the checksums; and the
# signed SETUP.EXE installing and removing its distribution under Wine.
#
#   release_test.sh releases SOURCE WORK     the releases and their checks
#   release_test.sh round-trip WORK ARCH     the signed SETUP.EXE under Wine
set -uo pipefail
mode=$1
failures=0
check() {
    local what=$1
    shift
    if "$@" >/dev/null 2>&1; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}
said() { grep -qF "$2" "$1"; }
code=Corvane2  # the demo code, which the releases take

if [ "$mode" = round-trip ]; then
    work=$2 arch=$3
    folder=$work/two/dist/$arch
    windows() { echo "Z:$1" | tr / '\\'; }
    wine_run() { "$(dirname "$0")/../../tools/wine-run.sh" --prefix "$PREFIX" --arch "$arch" "$@"; }
    check "the signed SETUP.EXE installs its distribution" \
        wine_run "$folder/SETUP.EXE" /quiet /noicons '/dir=C:\SignedCorvane' "$(windows "$folder/CORVANE.ZIP")*$code"
    check "the installed copy is the signed one" cmp "$folder/SETUP.EXE" "$PREFIX/drive_c/SignedCorvane/SETUP.EXE"
    check "and removes it" wine_run "$folder/SETUP.EXE" /quiet UNINSTALL
    check "nothing of it is left" test ! -e "$PREFIX/drive_c/SignedCorvane/SETUP.EXE"
    exit $((failures > 0))
fi

source=$2 work=$3
rm -rf "$work"
mkdir -p "$work"
cd "$work" || exit 1
git clone -q "$source" one/corvane
git clone -q "$source" two/a/little/deeper/corvane

# A throwaway certificate authority and a code-signing certificate from it.
openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.pem -days 2 -subj "/CN=Corvane Test Authority" \
    -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign 2>/dev/null
openssl req -newkey rsa:2048 -nodes -keyout signer.key -out signer.csr -subj "/CN=Corvane Test Signer" 2>/dev/null
printf 'extendedKeyUsage=codeSigning\nkeyUsage=critical,digitalSignature\n' > signer.ext
openssl x509 -req -in signer.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 2 -extfile signer.ext \
    -out signer.pem 2>/dev/null
openssl pkcs12 -export -inkey signer.key -in signer.pem -certfile ca.pem -passout pass:right -out signer.p12

start=$(date +%s)
one/corvane/tools/release.sh "$work/one/dist" > one.log 2>&1
one=$?
CORVANE_SIGN_PKCS12=$work/signer.p12 CORVANE_SIGN_PASSWORD=right \
    two/a/little/deeper/corvane/tools/release.sh "$work/two/dist" > two.log 2>&1
two=$?
CORVANE_SIGN_PKCS12=$work/signer.p12 CORVANE_SIGN_PASSWORD=wrong \
    one/corvane/tools/release.sh "$work/refused/dist" > refused.log 2>&1
refused=$?
echo "The three releases took $(($(date +%s) - start)) s."

check "the unsigned release completes" test $one = 0
check "and says that nothing was signed" said one.log "nothing is signed"
check "and that the demo code was taken" said one.log "CORVANE_CODE is not set"
check "the signed release completes" test $two = 0
check "a wrong password stops the release" test $refused != 0
check "and says why" said refused.log "cannot be opened with CORVANE_SIGN_PASSWORD"
check "and leaves no release" test ! -e refused/dist

for arch in win32 win64; do
    for release in one two; do
        mkdir -p "members/$release/$arch"
        unzip -q -P "$code" "$release/dist/$arch/CORVANE.ZIP" -d "members/$release/$arch"
        (cd "$release/dist/$arch" && check "$release's $arch checksums hold" sha256sum -c --quiet SHA256SUMS)
    done
    for file in SETUP.EXE UNINSTAL.EXE DUNZIP32.DLL QVN32.EXE DZIP32.DLL; do
        signed=members/two/$arch/$file
        check "$arch $file is signed by the throwaway authority's signer" osslsigncode verify -CAfile ca.pem "$signed"
        osslsigncode remove-signature -in "$signed" -out "$signed.unsigned" >/dev/null 2>&1
        check "$arch $file is the same in both releases, the signature taken off" \
            cmp "members/one/$arch/$file" "$signed.unsigned"
        check "$arch $file of the unsigned release has no signature" \
            sh -c "! osslsigncode verify -CAfile ca.pem members/one/$arch/$file"
    done
    for file in QVNHELP.HLP QVNTUTOR.HLP; do
        check "$arch $file is the same in both releases" cmp "members/one/$arch/$file" "members/two/$arch/$file"
    done
    for file in SETUP.EXE DUNZIP32.DLL; do
        check "$arch $file beside the archive is the one in it" cmp "one/dist/$arch/$file" "members/one/$arch/$file"
        check "and so is the signed one" cmp "two/dist/$arch/$file" "members/two/$arch/$file"
    done
done
exit $((failures > 0))
