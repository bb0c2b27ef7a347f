#!/bin/bash
# Builds everything and runs the whole test suite under Wine: the Win32
# and the Win64 suite side by side, the Win32 one natively or with Wine's
# 32-bit loader emulated where the machine cannot execute 32-bit code
# (tools/arch.sh). Installs what the machine lacks first, says how each
# suite runs and why, then runs the release's tests on their own, and
# ends with each suite's summary.
#
#   bash tools/test.sh
#   CORVANE_ARCH=win64 bash tools/test.sh     one architecture only
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/arch.sh

tools/install-deps.sh
choose_architectures
echo "$WHY"
echo "Testing ${ARCHITECTURES[*]}."

# The native core's tests and its fuzzer go with the last suite only.
last=${ARCHITECTURES[-1]}
for arch in "${ARCHITECTURES[@]}"; do
    native=OFF
    [ "$arch" = "$last" ] && native=ON
    build_architecture "$arch" -DCORVANE_NATIVE=$native
done

# The release's tests (labelled release, in the Win64 build) build both
# architectures twice over: they run on their own once the suites are
# done, so that their compiling slows no suite.
suite() {
    tools/wine-run.sh --prefix "$(build_dir "$1")/wineprefix" --arch "$1" --session \
        ctest --test-dir "$(build_dir "$1")" -j2 --output-on-failure -LE release
}
releases() {
    [[ " ${ARCHITECTURES[*]} " == *" win64 "* ]] || return 0
    echo
    echo "== the release =="
    tools/wine-run.sh --prefix "$(build_dir win64)/wineprefix" --arch win64 --session \
        ctest --test-dir "$(build_dir win64)" --output-on-failure -L release
}

if [ ${#ARCHITECTURES[@]} = 1 ]; then
    suite "${ARCHITECTURES[0]}" && releases
    exit
fi

# Both suites at once, each in its own prefix and on its own display: most
# of their time goes to waiting (the program's two-second notices, the
# robot watching the screen), not to computing. Every line is tagged with
# its suite as it comes; each suite's summary is repeated at the end.
pids=()
for arch in "${ARCHITECTURES[@]}"; do
    (suite "$arch" 2>&1 | tee "$(build_dir "$arch")/suite.log" | sed -u "s/^/[$arch] /") &
    pids+=($!)
done
status=0
results=()
for i in "${!ARCHITECTURES[@]}"; do
    arch=${ARCHITECTURES[$i]}
    if wait "${pids[$i]}"; then
        results+=("$arch passed")
    else
        results+=("$arch FAILED")
        status=1
    fi
done
for arch in "${ARCHITECTURES[@]}"; do
    echo
    echo "== $arch =="
    sed -n '/tests passed, /,$p' "$(build_dir "$arch")/suite.log"
done
if releases; then
    results+=("the release passed")
else
    results+=("the release FAILED")
    status=1
fi
echo
summary=$(printf ', %s' "${results[@]}")
echo "Suites: ${summary:2}."
exit $status
