#!/bin/bash
# The program's main job: builds everything and runs SETUP.EXE under Wine.
#
# With a display, the wizard opens on it, in a Wine desktop of 1024x768,
# for a person to use. Without one, the robot walks a whole round trip on a
# private display (install, reinstall, move, uninstall through UNINSTAL.EXE)
# and the screenshot of every dialog it met lands in out/ as a PNG, with
# out/index.html showing them in order; then the same on a screen of 144
# dots per inch, in out/144dpi/, and in German, French, Spanish, Polish and
# Japanese, in out/de/, out/fr/, out/es/, out/pl/ and out/ja/.
#
# It runs the Win32 build, the product: natively where the machine
# executes 32-bit code, else with Wine's 32-bit loader emulated
# (tools/arch.sh). CORVANE_ARCH=win64 runs the Win64 build instead.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
. tools/arch.sh

tools/install-deps.sh
choose_architectures
arch=${ARCHITECTURES[0]}
echo "$WHY"
case "$arch" in
    win32) echo "Running the Win32 build, the product." ;;
    win64) echo "Running the Win64 build." ;;
esac
build=$(build_dir "$arch")
build_architecture "$arch" -DCORVANE_NATIVE=OFF

# The distribution as the user gets it: SETUP.EXE, the unzip library and
# the archive of the seven files, encrypted with a decrypt code.
demo=$build/demo
code=Corvane2
rm -rf "$demo"
mkdir -p "$demo"
cp "$build/product/SETUP.EXE" "$build/product/DUNZIP32.DLL" "$demo/"
tools/pack.sh "$build/payload" "$code" "$demo/CORVANE.ZIP"
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
    exec tools/wine-run.sh --prefix "$build/demo-prefix" --arch "$arch" --display "$demo/SETUP.EXE" "$archive"
fi

echo "No display: the robot walks the wizard; screenshots go to out/."
rm -rf out
status=0
# The round trip at Windows' own resolution, then once more on a screen of
# 144 dots per inch (out/144dpi/), 1536x1152 as such a screen has more
# dots, where the program draws at that size.
tour() {
    mkdir -p "$2"
    CORVANE_DPI=$3 tools/wine-run.sh --prefix "$build/$1" --arch "$arch" "$build/bin/walk.exe" tour \
        "$(windows_path "$root/$demo/SETUP.EXE")" "$archive" "$(windows_path "$root/$2")" \
        "$(windows_path "$root/$build/payload")" || status=$?
    for shot in "$2"/*.bmp; do
        [ -e "$shot" ] || continue
        convert "$shot" -alpha off "${shot%.bmp}.png" && rm "$shot"
    done
    echo "$(ls "$2"/*.png | wc -l) screenshots and $2/index.html"
}
tour demo-prefix out ""
echo "The same at 144 dots per inch:"
tour demo-prefix-144dpi out/144dpi 144
# Then in each other language the setup speaks, as Windows chooses it from
# the session's locale; the robot knows each dialog only by the template
# in that language (CORVANE_LANGUAGE), and sees that it is not English.
for language in de_DE:0407 fr_FR:040c es_ES:0c0a pl_PL:0415 ja_JP:0411; do
    echo "The same in ${language%:*}:"
    LANG=${language%:*}.UTF-8 CORVANE_LANGUAGE=${language#*:} tour demo-prefix "out/${language%%_*}" ""
done
exit $status
