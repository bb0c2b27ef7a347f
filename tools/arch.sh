# What the scripts share about the two builds, sourced by them: which
# architectures this machine can run and how, where each build lives, how
# to build one, and how Wine is called for it. Run on its own, it says in
# one line for each architecture whether it runs here, natively or
# emulated, and why:
#
#   bash tools/arch.sh
#
#   win32  the product: PE32 i386, built in build/win32
#   win64  the same program for 64-bit Windows: PE32+ x86-64, build/win64
#
# CORVANE_ARCH=win32 or win64 narrows a script to one architecture.
# CORVANE_WIN32_LOADER=native or emulated says how Win32 programs are to
# run, instead of finding out.

CORVANE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Wine's loaders, called by their own names. Debian's `wine` picks the
# 32-bit one whenever it is installed, and some 64-bit machines cannot
# execute any i386 program ("Exec format error").
WINE32=/usr/lib/wine/wine
WINE64=/usr/lib/wine/wine64

# There, Wine's 32-bit loader runs under qemu-user's i386 emulator, from
# this folder of the build tree (tools/emulated-win32/prepare.sh makes it;
# tools/install-deps.sh calls it where it is needed).
EMULATED_WIN32=$CORVANE_ROOT/build/wine32-emulated

# Whether this machine refuses to execute 32-bit code: it starts the
# 32-bit loader itself, which is the whole question and takes a few
# milliseconds. Only "Exec format error" says so; a loader that fails
# otherwise (not installed, say) is a fault of its own, not the machine's.
# The shell says it in its locale's language, so it is asked in English.
# NATIVE_WIN32_ERROR keeps what the machine said.
refuses_32bit_code() {
    NATIVE_WIN32_ERROR=$(export LC_ALL=C; "$WINE32" --version 2>&1 >/dev/null) && return 1
    NATIVE_WIN32_ERROR=${NATIVE_WIN32_ERROR##*: }
    [ "$NATIVE_WIN32_ERROR" = "Exec format error" ]
}

# How Win32 programs run here: native or emulated. What a session found
# out (CORVANE_WIN32_FOUND) holds for everything it runs.
win32_loader_kind() {
    case "${CORVANE_WIN32_LOADER:-}" in
        native|emulated) echo "$CORVANE_WIN32_LOADER" ;;
        '') if [ -n "${CORVANE_WIN32_FOUND:-}" ]; then echo "$CORVANE_WIN32_FOUND"
            elif refuses_32bit_code; then echo emulated
            else echo native; fi ;;
        *) echo "CORVANE_WIN32_LOADER must be native or emulated, not '$CORVANE_WIN32_LOADER'" >&2; return 1 ;;
    esac
}

# The loader that starts programs of an architecture.
wine_loader() {
    case "$1/$(win32_loader_kind)" in
        win32/emulated) echo "$EMULATED_WIN32/wine32" ;;
        win32/*) echo "$WINE32" ;;
        *) echo "$WINE64" ;;
    esac
}

# The 64-bit loader that makes and serves the prefix of an architecture's
# build. Where Win32 programs are emulated it is the copy beside the
# emulated 32-bit loader, through which it starts them.
prefix_loader() {
    case "$1/$(win32_loader_kind)" in
        win32/emulated) echo "$EMULATED_WIN32/usr/lib/wine/wine64" ;;
        *) echo "$WINE64" ;;
    esac
}

# Exports what Wine needs besides the loader to run an architecture's
# programs: with the emulated loader, the 64-bit side must be told where
# the i386 builtins are, or the prefix gets no 32-bit system folder.
wine_environment() {
    if [ "$1/$(win32_loader_kind)" = win32/emulated ]; then
        export WINEDLLPATH=/usr/lib/i386-linux-gnu/wine:/usr/lib/x86_64-linux-gnu/wine
    fi
    CORVANE_WIN32_FOUND=$(win32_loader_kind)
    export CORVANE_WIN32_FOUND
}

# Whether an architecture's loader starts. The emulated one only when its
# folder was made whole, and asked through the emulator directly: once
# handed over by the preloader, Wine takes "--version" for a program's name.
can_run() {
    case "$1/$(win32_loader_kind)" in
        win32/emulated) [ -f "$EMULATED_WIN32/.ready" ] &&
            "$EMULATED_WIN32/qemu-i386" "$EMULATED_WIN32/usr/lib/wine/wine" --version ;;
        *) "$(wine_loader "$1")" --version ;;
    esac >/dev/null 2>&1
}

# One line: whether an architecture runs here, how, and why.
how_it_runs() {
    local kind how why
    if [ "$1" = win64 ]; then
        if can_run win64; then
            echo "Win64: native (Wine's 64-bit loader)."
        else
            echo "Win64: does not run: Wine's 64-bit loader $WINE64 does not start."
        fi
        return
    fi
    kind=$(win32_loader_kind) || return 1
    if [ -n "${CORVANE_WIN32_LOADER:-}" ]; then
        why="as CORVANE_WIN32_LOADER asks"
    elif [ "$kind" = native ]; then
        why="this machine executes 32-bit code"
    else
        refuses_32bit_code || true
        why="this machine cannot execute 32-bit code ($WINE32: $NATIVE_WIN32_ERROR)"
    fi
    if can_run win32; then
        how="native (Wine's 32-bit loader)"
        [ "$kind" = emulated ] && how="emulated (Wine's 32-bit loader under $(cat "$EMULATED_WIN32/.ready"))"
        echo "Win32: $how: $why."
    elif [ "$kind" = native ]; then
        refuses_32bit_code || true
        echo "Win32: does not run: $WINE32 does not start (${NATIVE_WIN32_ERROR:-it fails})."
    else
        echo "Win32: does not run: $why, but the emulated loader is not prepared (tools/install-deps.sh prepares it)."
    fi
}

# ARCHITECTURES: what this machine can run, both where it can (the
# product first); WHY: a line for each, saying how and why. Fails with the
# reason when nothing can run, or when CORVANE_ARCH asks for what cannot.
choose_architectures() {
    local arch candidates=(win32 win64)
    case "${CORVANE_ARCH:-}" in
        '') ;;
        win32|win64) candidates=("$CORVANE_ARCH") ;;
        *) echo "CORVANE_ARCH must be win32 or win64, not '$CORVANE_ARCH'" >&2; return 1 ;;
    esac
    win32_loader_kind >/dev/null || return 1
    ARCHITECTURES=()
    WHY=
    for arch in "${candidates[@]}"; do
        WHY+="$(how_it_runs "$arch")"$'\n'
        can_run "$arch" && ARCHITECTURES+=("$arch")
    done
    WHY=${WHY%$'\n'}
    if [ ${#ARCHITECTURES[@]} = 0 ]; then
        echo "$WHY" >&2
        echo "Nothing can be run here${CORVANE_ARCH:+ of what CORVANE_ARCH=$CORVANE_ARCH asks}." >&2
        return 1
    fi
}

# The build folder of an architecture.
build_dir() {
    echo "build/$1"
}

# Configures and builds one architecture. Extra arguments go to CMake.
build_architecture() {
    local arch=$1 toolchain
    shift
    case "$arch" in
        win32) toolchain=cmake/mingw-i686.cmake ;;
        win64) toolchain=cmake/mingw-x86_64.cmake ;;
    esac
    # The toolchain is fixed when a build folder is first configured.
    [ -f "$(build_dir "$arch")/CMakeCache.txt" ] || set -- -DCMAKE_TOOLCHAIN_FILE="$toolchain" "$@"
    cmake -S . -B "$(build_dir "$arch")" "$@" >/dev/null
    cmake --build "$(build_dir "$arch")" -j"$(nproc)"
}

# What a benchmark runs: the first architecture this machine runs (the
# Win32 build unless CORVANE_ARCH says otherwise), built without the
# native core. Sets `arch` and `build`, and says how it runs.
bench_architecture() {
    tools/install-deps.sh
    choose_architectures
    arch=${ARCHITECTURES[0]}
    build=$(build_dir "$arch")
    build_architecture "$arch" -DCORVANE_NATIVE=OFF >/dev/null
    echo "The $arch build. $(how_it_runs "$arch")"
}

# A path of this machine as Wine shows it, through drive Z:.
windows_path() {
    echo "Z:$1" | tr / '\\'
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
    how_it_runs win32 && how_it_runs win64
fi
