#!/bin/bash
# Runs Windows programs under Wine the way the main job, the benches and
# the tests need them: in a prefix of the project's own, on a private Xvfb
# display, inside a Wine virtual desktop of 1024x768, with "Arial" drawn as
# Liberation Sans, the dialogs in Wine's own MS Sans Serif, and the Japanese
# ones' "MS UI Gothic" as IPA P Gothic.
#
#   wine-run.sh --prefix DIR [--arch A] PROGRAM.EXE [ARGS...]
#                           run one program; its exit code is the script's
#   wine-run.sh --prefix DIR [--arch A] --session COMMAND...
#                           run a Linux command (ctest, say) inside one session
#   wine-run.sh --prefix DIR [--arch A] --display PROGRAM...
#                           the same on the display that DISPLAY names, for a person
#
# A is win32 or win64 (the default), the architecture of the programs: each
# is started by Wine's loader of its own kind, the 32-bit one emulated
# where the machine cannot execute 32-bit code (tools/arch.sh). The prefix
# is a 64-bit one and holds both.
#
# CORVANE_DPI sets the screen's resolution in dots per inch (LogPixels) and
# grows the screen with it, as a real screen of that resolution has more
# dots: 1536x1152 at 144. A prefix made for another screen is made again.
#
# A session is the display, the wineserver and its desktop. A call inside a
# session (CORVANE_WINE_SESSION names its prefix) just runs the program;
# any other call opens its own session and closes it again on every exit
# path: wineserver -k for this prefix, Xvfb by its process id. Sessions on
# one prefix take turns (flock), so one cannot stop another's programs.
#
# A session run as root also has a small drive E:, a 64 KiB tmpfs mounted
# on the prefix's drive_e for the session only, where the tests fill a
# disk; elsewhere there is no E:.
set -euo pipefail
. "$(dirname "$0")/arch.sh"
# A step that fails ends the script; most of them are quiet, so it says which.
trap 'echo "$0: failed ($?): $BASH_COMMAND" >&2' ERR

prefix=
if [ "${1:-}" = --prefix ]; then prefix=$2; shift 2; fi
[ -n "$prefix" ] || { echo "usage: $0 --prefix DIR [--arch win32|win64] [--session|--display] PROGRAM [ARGS...]" >&2; exit 2; }
prefix=$(realpath -m "$prefix")
arch=win64
if [ "${1:-}" = --arch ]; then arch=$2; shift 2; fi
session=0
own_display=1
case "${1:-}" in
    --session) session=1; shift ;;
    --display) own_display=0; shift ;;
esac
[ $# -gt 0 ] || { echo "$0: nothing to run" >&2; exit 2; }

# The prefix is made and served by a 64-bit loader; each program is
# started by the loader of its own architecture, natively or emulated
# (tools/arch.sh).
wine=$(prefix_loader "$arch")
program_wine=$(wine_loader "$arch")
wine_environment "$arch"
export WINEPREFIX=$prefix
export WINEARCH=win64
# Wine names files on this machine in the locale's character set, so a
# name in any script needs UTF-8; the locale's language gives Windows its
# code page (a test may ask for another with LANG). C.UTF-8 gives 1252.
case "${LC_ALL:-${LANG:-}}" in
    *.UTF-8|*.utf8) ;;
    *) export LANG=C.UTF-8; unset LC_ALL ;;
esac
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

run() {
    if [ $session = 1 ]; then "$@" 8<&- 9>&-; else "$program_wine" "$@" 8<&- 9>&-; fi
}

if [ "${CORVANE_WINE_SESSION:-}" = "$prefix" ]; then
    trap - ERR
    run "$@"
    exit $?
fi
if ! can_run "$arch"; then
    how_it_runs "$arch" >&2
    exit 1
fi

mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9

small_drive=$prefix/drive_e
# Lazily when it is still busy, so that it is never left mounted.
unmount_small_drive() {
    umount "$small_drive" 2>/dev/null || umount -l "$small_drive" 2>/dev/null || true
}

xvfb_pid=
small_drive_mounted=0
close_session() {
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    if [ $small_drive_mounted = 1 ]; then
        rm -f "$prefix/dosdevices/e:"
        unmount_small_drive
    fi
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
}
trap close_session EXIT
trap 'exit 130' INT TERM

# A session killed before it could close left its small drive mounted;
# nobody else uses it while we hold the lock.
if mountpoint -q "$small_drive" 2>/dev/null; then
    unmount_small_drive
fi

dpi=${CORVANE_DPI:-96}
screen=$((1024 * dpi / 96))x$((768 * dpi / 96))

if [ $own_display = 1 ]; then
    # A display of our own; Xvfb picks a free number and tells it on a pipe.
    exec 8< <(Xvfb -displayfd 1 -screen 0 "${screen}x24" -nolisten tcp -noreset 2>/dev/null & echo "pid $!"; wait)
    read -r _ xvfb_pid <&8
    read -r display <&8 || { echo "$0: Xvfb did not start" >&2; exit 1; }
    export DISPLAY=:$display
fi

# A prefix for 32-bit programs made where they could not run lacks its
# 32-bit system folder; it is made again.
ready="$screen $dpi japanese-ui-font"
if [ "$(cat "$prefix/.corvane-ready" 2>/dev/null)" != "$ready" ] ||
    { [ "$arch" = win32 ] && [ ! -f "$prefix/drive_c/windows/syswow64/kernel32.dll" ]; }; then
    rm -rf "$prefix"
    "$wine" wineboot -i >/dev/null 2>&1
    # The default desktop becomes a virtual one of fixed size, so screen
    # metrics are the same on every machine; crashes do not wait for a
    # person at a debugger dialog.
    cat > "$prefix/corvane.reg" <<REG
REGEDIT4

[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]
"Default"="$screen"

[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]
"Arial"="Liberation Sans"
"MS UI Gothic"="IPAPGothic"

[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\\Control Panel\\Desktop]
"LogPixels"=dword:$(printf %08x "$dpi")
REG
    "$wine" regedit "$prefix/corvane.reg" >/dev/null 2>&1
    # The desktop made by wineboot has the old size; start afresh.
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    echo "$ready" > "$prefix/.corvane-ready"
fi

# Debian's Wine does not list its own fonts; from the prefix's font folder
# they are found. Marlett draws the title bar buttons. MS Sans Serif is the
# templates' font (at 96 and 120 dots per inch): without it the dialogs are
# set in a wider substitute, and a text that fits its control on Windows
# wraps out of sight; its Central European face draws Polish letters.
# Tahoma is the message boxes' font: without it Wine
# takes whichever font comes first, a Japanese one where the machine has
# one, which draws a backslash as a yen sign. Copied on every session, so
# older prefixes get them.
cp -u /usr/share/wine/fonts/{marlett.ttf,sserife.fon,sseriff.fon,sserifee.fon,sseriffe.fon,tahoma.ttf,tahomabd.ttf} "$prefix/drive_c/windows/Fonts/"

# A second drive for the tests: D: is a folder of the prefix's own.
mkdir -p "$prefix/drive_d"
[ -L "$prefix/dosdevices/d:" ] || ln -s ../drive_d "$prefix/dosdevices/d:"
# The small drive E:, where it can be mounted; without it, E: stays absent
# rather than lead to the large disk. Its root is not open to every user
# (a tmpfs's is, by default), as no drive's root is: Setup refuses a folder
# under a root that lets others delete what is in it.
rm -f "$prefix/dosdevices/e:"
if [ "$(id -u)" = 0 ]; then
    mkdir -p "$small_drive"
    if mount -t tmpfs -o size=64k,mode=0755 corvane-small "$small_drive" 2>/dev/null; then
        small_drive_mounted=1
        ln -s ../drive_e "$prefix/dosdevices/e:"
    fi
fi

# The wineserver makes the files and folders, under its own umask. What a
# program makes without rights of its own is open to every user, as what
# is made under a drive's root or in SYSTEM's temporary folder is on
# Windows, so that a test sees what a program leaves open.
(umask 000 && exec wineserver -p 8<&- 9>&-)
# Start the desktop here, holding none of our descriptors: Wine forks it,
# and every folder window the shell opens later, from the first program
# that needs it, and a test that did so would keep its output pipe open
# for ctest after it ended. Then bring up Wine's own services: two
# programs started together on a fresh wineserver can hang at exit.
"$wine" explorer.exe /desktop </dev/null >/dev/null 2>&1 8<&- 9>&- &
"$wine" cmd.exe /c exit 0 </dev/null >/dev/null 2>&1 8<&- 9>&-
export CORVANE_WINE_SESSION=$prefix
set +e
trap - ERR
run "$@"
status=$?
set -e
exit $status
