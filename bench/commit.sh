#!/bin/bash
# The copying's commit under Wine: quiet installations of the demo
# distribution over the installed copy, each logged; from the log, the time
# from the last member staged to the commit done (the journal's phase
# flushed and fourteen renames written through), and the extra disk space
# the copying takes at its peak: the whole new set, staged beside the
# files in place.
#
# The Win32 build, natively or emulated (tools/arch.sh); CORVANE_ARCH=win64
# takes the Win64 build.
#
#   bash bench/commit.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
. tools/arch.sh
runs=${1:-9}

bench_architecture

bench=$build/bench-commit
rm -rf "$bench"
mkdir -p "$bench"
cp "$build/product/SETUP.EXE" "$build/product/DUNZIP32.DLL" "$bench/"
tools/pack.sh "$build/payload" Bench2 "$bench/CORVANE.ZIP" >/dev/null
archive="$(windows_path "$root/$bench/CORVANE.ZIP")*Bench2"
log=$root/$bench/setup.log

# The first run installs; each after it goes over that copy.
cat > "$bench/runs.sh" <<RUNS
for run in \$(seq 0 $runs); do
    tools/wine-run.sh --prefix "$build/bench-prefix" --arch "$arch" "$bench/SETUP.EXE" /quiet /noicons \
        /dir='C:\\BenchCommit' "/log=$(windows_path "$log")" "$archive"
    [ \$? = 1 ] || exit 1  # 1: completed
done
RUNS
rm -f "$log"
tools/wine-run.sh --prefix "$build/bench-prefix" --arch "$arch" --session bash "$bench/runs.sh"

# From the log: each commit's milliseconds (from the last member staged to
# the commit done), and the bytes the last run staged.
tr -d '\r' < "$log" | awk '
    function ms(line) { split(substr(line, 12, 12), t, /[:.]/); return ((t[1] * 60 + t[2]) * 60 + t[3]) * 1000 + t[4] }
    /==== Corvane/ { run++ }
    / Staging in / { staged = 0 }
    / Extracted .*: result 0, / { last = ms($0); staged += $(NF - 1) }
    / Committed in / && run > 1 { print "commit", ms($0) - last }
    END { print "staged", staged }' > "$bench/figures.txt"
mapfile -t times < <(awk '$1 == "commit" { print $2 }' "$bench/figures.txt" | sort -n)
echo "The commit over the installed copy, median of ${#times[@]}: ${times[$(( ${#times[@]} / 2 ))]} ms" \
    "(${times[0]} to ${times[-1]} ms)"
echo "Extra disk space at the copying's peak, the staged set: $(awk '$1 == "staged" { print $2 }' "$bench/figures.txt") bytes"
