#!/bin/bash
# What the one file costs at start-up, under Wine, start to exit: the
# build's CorvaneSetup.exe against its SETUP.EXE started directly with the
# same distribution (the walks', which the build's CorvaneSetup.exe
# carries), in turns, run for run. Twice: a quiet installation, each
# followed by a removal that is not timed, and a run that SETUP.EXE
# refuses at once (a relative /dir), so that nearly all that is timed is
# the one file's own work: unpacking, checking, cleaning up.
#
# The Win32 build, natively or emulated (tools/arch.sh); CORVANE_ARCH=win64
# takes the Win64 build.
#
#   bash bench/one_file.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/arch.sh

runs=${1:-9}
bench_architecture
cmake --build "$build" --target corvane_setup distribution >/dev/null
code=$(sed -n 's/^DISTRIBUTION_CODE:INTERNAL=//p' "$build/CMakeCache.txt")

export RUNS=$runs LOADER=$(wine_loader "$arch") PRODUCT=$PWD/$build/product \
    ARCHIVE="Z:$(echo "$PWD/$build/distribution/CORVANE.ZIP" | tr / '\\')*$code"
tools/wine-run.sh --prefix "$build/bench-prefix" --arch "$arch" --session bash -c '
    milliseconds() { local start=$(date +%s%N); "$@" >/dev/null 2>&1 || true; echo $(( ($(date +%s%N) - start) / 1000000 )); }
    median() { tr " " "\n" | sort -n | sed -n "$(( (RUNS + 1) / 2 ))p"; }
    cd "$PRODUCT"
    folder="/dir=C:\\BenchOne"
    for run in $(seq "$RUNS"); do
        direct+=" $(milliseconds "$LOADER" SETUP.EXE /quiet /noicons "$folder" "$ARCHIVE")"
        "$LOADER" SETUP.EXE /quiet UNINSTALL >/dev/null 2>&1 || true
        one+=" $(milliseconds "$LOADER" CorvaneSetup.exe /quiet /noicons "$folder")"
        "$LOADER" SETUP.EXE /quiet UNINSTALL >/dev/null 2>&1 || true
        directRefused+=" $(milliseconds "$LOADER" SETUP.EXE /quiet /dir=Relative "$ARCHIVE")"
        oneRefused+=" $(milliseconds "$LOADER" CorvaneSetup.exe /quiet /dir=Relative)"
    done
    echo "Median of $RUNS runs, start to exit, in turns:"
    echo "  a quiet installation: SETUP.EXE $(echo $direct | median) ms, CorvaneSetup.exe $(echo $one | median) ms"
    echo "  a refused switch:     SETUP.EXE $(echo $directRefused | median) ms, CorvaneSetup.exe $(echo $oneRefused | median) ms"
'
ls -l "$build/product/SETUP.EXE" "$build/product/CorvaneSetup.exe" | awk "{ print \"  \" \$5, \$9 }"
