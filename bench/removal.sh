#!/bin/bash
# The quiet removal's time under Wine, start to exit, as a deployment tool
# sees it (Wine's start of the process included): SETUP.EXE /quiet
# UNINSTALL, and the entry's quiet uninstall command, UNINSTAL.EXE /quiet,
# which first copies itself into a private folder. Each follows a quiet
# installation of the demo distribution. Given the product folder of
# another build (an earlier commit's, say), it times that build in turns
# with this one, so that the two are compared run for run.
#
# The Win32 build, natively or emulated (tools/arch.sh); CORVANE_ARCH=win64
# takes the Win64 build.
#
#   bash bench/removal.sh [OTHER_PRODUCT_FOLDER [RUNS]]
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/arch.sh

other=${1:+$(realpath "$1")}
runs=${2:-9}
bench_architecture

# Each build's distribution: its own SETUP.EXE, UNINSTAL.EXE and library,
# in the archive and beside it.
bench=$PWD/$build/bench-removal
rm -rf "$bench"
builds=(this)
[ -z "$other" ] || builds+=(other)
for name in "${builds[@]}"; do
    product=$PWD/$build/product
    [ "$name" = this ] || product=$other
    mkdir -p "$bench/$name/payload"
    cp "$build"/payload/* "$bench/$name/payload/"
    cp "$product"/{SETUP.EXE,UNINSTAL.EXE,DUNZIP32.DLL} "$bench/$name/payload/"
    cp "$product"/{SETUP.EXE,DUNZIP32.DLL} "$bench/$name/"
    tools/pack.sh "$bench/$name/payload" Bench2 "$bench/$name/CORVANE.ZIP" >/dev/null
done

export BENCH=$bench RUNS=$runs BUILDS="${builds[*]}" LOADER=$(wine_loader "$arch")
tools/wine-run.sh --prefix "$build/bench-prefix" --arch "$arch" --session bash -c '
    milliseconds() { local start=$(date +%s%N); "$@" >/dev/null 2>&1 || true; echo $(( ($(date +%s%N) - start) / 1000000 )); }
    median() { tr " " "\n" | sort -n | sed -n "$(( (RUNS + 1) / 2 ))p"; }
    declare -A setup entry
    for run in $(seq "$RUNS"); do
        for name in $BUILDS; do
            cd "$BENCH/$name"
            archive="Z:${BENCH//\//\\}\\$name\\CORVANE.ZIP*Bench2"
            "$LOADER" SETUP.EXE /quiet /noicons "$archive"
            setup[$name]+=" $(milliseconds "$LOADER" SETUP.EXE /quiet UNINSTALL)"
            "$LOADER" SETUP.EXE /quiet /noicons "$archive"
            entry[$name]+=" $(milliseconds "$LOADER" "C:\\Program files\\Corvane Pro\\UNINSTAL.EXE" /quiet)"
            sleep 2  # the clean-up after it ends
        done
    done
    echo "Median of $RUNS runs, start to exit, in turns:"
    for name in $BUILDS; do
        echo "  $name build: SETUP.EXE /quiet UNINSTALL $(echo ${setup[$name]} | median) ms;" \
             "UNINSTAL.EXE /quiet $(echo ${entry[$name]} | median) ms"
    done
'
