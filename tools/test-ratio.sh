#!/bin/bash
# Non-blank lines of test code (everything under tests/) against those of
# everything else that is code: sources, headers, the .rc, scripts, CMake.
cd "$(dirname "$0")/.."
code() { grep -E '\.(c|cc|cpp|cxx|h|hpp|rc|py|sh|cmake)$|CMakeLists\.txt$|(^|/)run$' | xargs -r cat | grep -cv '^\s*$'; }
tests=$(git ls-files -co --exclude-standard -- tests | code)
rest=$(git ls-files -co --exclude-standard | grep -v '^tests/' | code)
echo "tests $tests, code $rest: ratio $(awk -v t="$tests" -v c="$rest" 'BEGIN { printf "%.2f", t / c }')"
