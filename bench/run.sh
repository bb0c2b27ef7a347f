#!/bin/bash
# The unzip library's benchmark: about 200 MB of mixed content, zipped by
# Info-ZIP zip at its default level, plain and with a decrypt code, then
# extracted into a fresh folder by
#   - the library's core, built natively (build/win64/native/zip_extract),
#   - Info-ZIP unzip 6.0 and bsdtar,
#   - the floor: raw zlib inflate, CRC-32 and writes of the same data,
#   - DUNZIP32.DLL under Wine, one request per member, as the setup calls
#     it: the Win32 and the Win64 build, each where the machine runs it.
# Each is run REPEATS times (default 5), the native ones in turns so that
# their ratios are paired; medians are reported in MiB of output per
# second, with the ratios the goals are stated in. The core decrypts on a
# second thread where it may run on two processors; on one (taskset -c 0)
# it is run against its single loop (--single-loop), the two in turns.
# Then the core's peak memory for a 20 MB and a 200 MB member, plain and
# with a code, and the DLL's size.
#
#   bash bench/run.sh [REPEATS]
#
# The payload and archives live in $BENCH_DIR (default /tmp/corvane-bench);
# the extractions go to $BENCH_OUT (default a folder in /dev/shm, so that
# the disk's write speed, which is the same for every tool, does not hide
# their differences).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
. tools/arch.sh
repeats=${1:-5}
work=${BENCH_DIR:-/tmp/corvane-bench}
out=${BENCH_OUT:-/dev/shm/corvane-bench-out}
code=Bench-Code-2026

tools/install-deps.sh
choose_architectures
# Both builds, for the sizes; the native tools come with the Win64 one.
build_architecture win64 -DCORVANE_NATIVE=ON >/dev/null
build_architecture win32 -DCORVANE_NATIVE=OFF >/dev/null

mkdir -p "$work"
if [ ! -f "$work/payload/zeros.bin" ]; then
    echo "Making the payload..."
    python3 bench/make_payload.py "$work/payload"
fi
members=(random.bin log.txt data.csv code.bin records.dat zeros.bin)
bytes=$(cd "$work/payload" && cat "${members[@]}" | wc -c)
for kind in plain code; do
    if [ ! -f "$work/$kind.zip" ]; then
        echo "Zipping ($kind)..."
        options=()
        [ $kind = code ] && options=(-P "$code")
        (cd "$work/payload" && zip -q -X "${options[@]}" "$work/$kind.zip" "${members[@]}")
    fi
done

# Seconds for one run of a command that extracts into $work/out.
time_once() {
    rm -rf "$out"
    mkdir -p "$out"
    local start end
    start=$(date +%s%N)
    "$@" >/dev/null
    end=$(date +%s%N)
    echo "scale=4; ($end - $start) / 1000000000" | bc
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

declare -A seconds
report() {
    printf '  %-26s %8.3f s  %7.1f MiB/s\n' "$1" "${seconds[$1]}" "$(echo "$bytes / 1048576 / ${seconds[$1]}" | bc -l)"
}
# Commands run in turns, so that a change in the machine's load falls on
# all alike and their ratios are paired: NAME COMMAND pairs, each command
# one string of words without blanks of their own.
measure_turns() {
    local names=() commands=() i
    while [ $# -gt 0 ]; do
        names+=("$1") commands+=("$2")
        shift 2
    done
    local -A runs
    for command in "${commands[@]}"; do time_once $command >/dev/null; done  # warm: the archives in the page cache
    for _ in $(seq "$repeats"); do
        for i in "${!commands[@]}"; do runs[$i]+="$(time_once ${commands[$i]}) "; done
    done
    for i in "${!names[@]}"; do
        seconds[${names[$i]}]=$(printf '%s\n' ${runs[$i]} | median)
        report "${names[$i]}"
    done
}

native=build/win64/native
# One run of an architecture's DLL through its driver, timed by the driver.
dll_once() {
    local arch=$1 build
    build=$(build_dir "$1")
    rm -rf "$out"
    mkdir -p "$out"
    tools/wine-run.sh --prefix "$build/bench-prefix" --arch "$arch" "$build/bin/dll_extract.exe" \
        "$(windows_path "$root/$build/product/DUNZIP32.DLL")" "$(windows_path "$work/$2.zip")" \
        "$(windows_path "$out")" "$3" "${members[@]}" | tr -d '\r'
}
measure_dll() {
    local name=$1
    shift
    dll_once "$@" >/dev/null
    local runs=()
    for _ in $(seq "$repeats"); do runs+=("$(dll_once "$@")"); done
    seconds[$name]=$(printf '%s\n' "${runs[@]}" | median)
    report "$name"
}

echo "Payload: $((bytes / 1048576)) MiB in ${#members[@]} members; archives $(( $(stat -c %s "$work/plain.zip") / 1048576 )) MiB;" \
     "median of $repeats runs"
extract="$native/zip_extract"
echo "Native, in turns:"
measure_turns \
    core "$extract $work/plain.zip $out - ${members[*]}" \
    floor "$native/inflate_floor $work/plain.zip $out ${members[*]}" \
    bsdtar "bsdtar -xf $work/plain.zip -C $out" \
    unzip "unzip -q -o $work/plain.zip -d $out" \
    "core, code" "$extract $work/code.zip $out $code ${members[*]}" \
    "bsdtar, code" "bsdtar -xf $work/code.zip -C $out --passphrase $code" \
    "unzip, code" "unzip -q -o -P $code $work/code.zip -d $out"
echo "With a decrypt code, on one processor, in turns:"
measure_turns \
    "core, code, one processor" "taskset -c 0 $extract $work/code.zip $out $code ${members[*]}" \
    "single loop, one processor" "taskset -c 0 $extract --single-loop $work/code.zip $out $code ${members[*]}"
echo "DUNZIP32.DLL under Wine, one request per member:"
# Where Win32 programs are emulated, their figures say what the emulator
# costs, not what the library does.
dll_name() {
    if [ "$1/$(win32_loader_kind)" = win32/emulated ]; then echo "DUNZIP32.DLL $1 (emulated)"; else echo "DUNZIP32.DLL $1"; fi
}
for arch in "${ARCHITECTURES[@]}"; do
    measure_dll "$(dll_name "$arch")" "$arch" plain -
    measure_dll "$(dll_name "$arch"), code" "$arch" code "$code"
done

ratio() { printf '%.2f' "$(echo "${seconds[$1]} / ${seconds[$2]}" | bc -l)"; }
echo "Ratios of time (lower is faster):"
echo "  core / bsdtar, plain          $(ratio core bsdtar)   (goal: at most 1.0)"
echo "  core / unzip, plain           $(ratio core unzip)"
echo "  core / floor, plain           $(ratio core floor)   (goal: at most 1.0)"
echo "  core / unzip, with a code     $(ratio "core, code" "unzip, code")   (goal: at most 0.7)"
echo "  core / bsdtar, with a code    $(ratio "core, code" "bsdtar, code")"
echo "  core / single loop, with a code, one processor  $(ratio "core, code, one processor" "single loop, one processor")   (goal: at most 1.0)"
for arch in "${ARCHITECTURES[@]}"; do
    echo "  ${arch} DLL under Wine / core, plain  $(ratio "$(dll_name "$arch")" core)"
done
echo "Ratio of throughput (higher is faster):"
echo "  core with a code / core plain $(ratio core "core, code")   (goal: at least 0.75)"

echo "Peak memory of the core (maximum resident set):"
for size in 20 200; do
    if [ ! -f "$work/one-$size-code.zip" ]; then
        head -c $((size * 1048576)) <(cd "$work/payload" && cat log.txt data.csv records.dat code.bin random.bin zeros.bin) \
            > "$work/member.bin"
        (cd "$work" && zip -q -X "one-$size.zip" member.bin && zip -q -X -P "$code" "one-$size-code.zip" member.bin &&
            rm member.bin)
    fi
    for kind in plain code; do
        archive=$work/one-$size.zip key=-
        [ $kind = code ] && archive=$work/one-$size-code.zip key=$code
        rm -rf "$out" && mkdir -p "$out"
        kib=$(/usr/bin/time -f %M "$native/zip_extract" "$archive" "$out" "$key" member.bin 2>&1 >/dev/null)
        printf '  one member of %3d MB, %-6s %6d KiB\n' "$size" "$kind:" "$kib"
    done
done
rm -rf "$out"
for arch in win32 win64; do
    echo "DUNZIP32.DLL $arch: $(stat -c %s "$(build_dir $arch)/product/DUNZIP32.DLL") bytes (goal: at most 65536)"
done
