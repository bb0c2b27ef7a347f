#!/bin/bash
# The program's main job: builds everything and runs SETUP.EXE under Wine.
#
# With a display, the wizard opens on it, in a Wine desktop of 1024x768,
# for a person to use. Without one, the robot walks a whole round trip on a
# private display (install, reinstall, move, uninstall through UNINSTAL.EXE)
# and the screenshot of every dialog it met lands in out/ as a PNG, with
# out/index.html showing them in order.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

tools/install-deps.sh
cmake -S . -B build -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
cmake --build build -j"$(nproc)"

# The distribution as the user gets it: SETUP.EXE, the unzip library and
# the archive of the seven files, encrypted with a decrypt code.
demo=build/demo
code=Corvane2
rm -rf "$demo"
mkdir -p "$demo"
cp build/product/SETUP.EXE build/product/DUNZIP32.DLL "$demo/"
tools/pack.sh build/payload "$code" "$demo/CORVANE.ZIP"
windows_path() { echo "Z:$1" | tr / '\\'; }
archive="$(windows_path "$root/$demo/CORVANE.ZIP")*$code"

display_usable() {
    [ -n "${DISPLAY:-}" ] || return 1
    case "$DISPLAY" in
        :*) [ -S "/tmp/.X11-unix/X${DISPLAY#:}" ] || [ -S "/tmp/.X11-unix/X${DISPLAY#:%.*}" ] ;;
        *) return 0 ;;
    esac
}

if display_usable; then
    echo "Opening the wizard on $DISPLAY."
    exec tests/wine-run.sh --prefix build/demo-prefix --display "$demo/SETUP.EXE" "$archive"
fi

echo "No display: the robot walks the wizard; screenshots go to out/."
rm -rf out
mkdir -p out
status=0
tests/wine-run.sh --prefix build/demo-prefix build/bin/walk.exe tour \
    "$(windows_path "$root/$demo/SETUP.EXE")" "$archive" "$(windows_path "$root/out")" \
    "$(windows_path "$root/build/payload")" || status=$?
for shot in out/*.bmp; do
    [ -e "$shot" ] || continue
    convert "$shot" -alpha off "${shot%.bmp}.png" && rm "$shot"
done
echo "$(ls out/*.png | wc -l) screenshots and out/index.html"
exit $status
