#!/bin/bash
# The program's main job: builds everything and runs SETUP.EXE under Wine.
#
# With a display, the wizard opens on it, in a Wine desktop of 1024x768,
# for a person to use. Without one, the robot walks it through every
# dialog on a private display and the screenshots land in out/ as PNGs.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

tools/install-deps.sh
cmake -S . -B build -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
cmake --build build -j"$(nproc)"

# The distribution as the user gets it: SETUP.EXE and the unzip library.
demo=build/demo
rm -rf "$demo"
mkdir -p "$demo"
cp build/product/SETUP.EXE "$demo/"
# The unzip library itself is not built yet; this stand-in from the tests
# answers every request with success and writes a placeholder file.
cp build/bin/DUNZIP32.DLL "$demo/"
echo "* 0 300" > "$demo/dunzip-script.txt"
windows_path() { echo "Z:$1" | tr / '\\'; }
archive="$(windows_path "$root/$demo")\\CORVANE.ZIP*demo"

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
tests/wine-run.sh --prefix build/demo-prefix build/bin/walk.exe \
    "$(windows_path "$root/$demo/SETUP.EXE")" "$archive" "$(windows_path "$root/out")" || status=$?
for shot in out/*.bmp; do
    [ -e "$shot" ] || continue
    convert "$shot" -alpha off "${shot%.bmp}.png" && rm "$shot"
done
ls out
exit $status
