#!/bin/bash
# The wizard's own time under Wine: a whole headless installation of the
# demo distribution (scan, folder, extraction, icons, success) and a whole
# removal, the robot pressing each button as soon as it sees it, minus the
# two-second notices the program must hold; and the time from starting
# SETUP.EXE to its first dialog on screen, against a trivial Win32 program
# (the demo's QVN32.EXE, which shows one message box) as the floor.
#
#   bash bench/wizard.sh
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

tools/install-deps.sh
cmake -S . -B build -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
cmake --build build -j"$(nproc)" >/dev/null

bench=build/bench-wizard
rm -rf "$bench"
mkdir -p "$bench"
cp build/product/SETUP.EXE build/product/DUNZIP32.DLL "$bench/"
tools/pack.sh build/payload Bench2 "$bench/CORVANE.ZIP" >/dev/null
windows() { echo "Z:$1" | tr / '\\'; }
tests/wine-run.sh --prefix build/bench-prefix build/bin/walk.exe time "$(windows "$root/$bench/SETUP.EXE")" \
    "$(windows "$root/$bench/CORVANE.ZIP")*Bench2" "$(windows "$root/build/payload/QVN32.EXE")" | tr -d '\r'
