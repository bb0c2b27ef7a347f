#!/bin/bash
# The wizard's own time under Wine: a whole headless installation of the
# demo distribution (scan, folder, extraction, icons, success) and a whole
# removal, the robot pressing each button as soon as it sees it, minus the
# two-second notices the program must hold; and the time from starting
# SETUP.EXE to its first dialog on screen, against a trivial Win32 program
# (the demo's QVN32.EXE, which shows one message box) as the floor.
#
# The Win32 build, natively or emulated (tools/arch.sh); CORVANE_ARCH=win64
# takes the Win64 build.
#
#   bash bench/wizard.sh
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
. tools/arch.sh

bench_architecture

bench=$build/bench-wizard
rm -rf "$bench"
mkdir -p "$bench"
cp "$build/product/SETUP.EXE" "$build/product/DUNZIP32.DLL" "$bench/"
tools/pack.sh "$build/payload" Bench2 "$bench/CORVANE.ZIP" >/dev/null
tools/wine-run.sh --prefix "$build/bench-prefix" --arch "$arch" "$build/bin/walk.exe" time \
    "$(windows_path "$root/$bench/SETUP.EXE")" "$(windows_path "$root/$bench/CORVANE.ZIP")*Bench2" \
    "$(windows_path "$root/$build/payload/QVN32.EXE")" | tr -d '\r'
