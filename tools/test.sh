#!/bin/bash
# Builds everything and runs the whole test suite under Wine, ending with
# ctest's summary. Installs what the machine lacks first.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh
cmake -S . -B build -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
cmake --build build -j"$(nproc)"
exec tests/wine-run.sh --prefix build/wineprefix --session \
    ctest --test-dir build -j2 --output-on-failure
