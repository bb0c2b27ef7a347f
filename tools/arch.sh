# What the scripts share about the two builds, sourced by them: which
# architectures this machine can run, where each build lives, how to build
# one, and how Wine is called for it.
#
#   win32  the product: PE32 i386, built in build/win32
#   win64  the same program for 64-bit Windows: PE32+ x86-64, build/win64
#
# CORVANE_ARCH=win32 or win64 narrows a script to one architecture.

# Wine's loaders, called by their own names. Debian's `wine` picks the
# 32-bit one whenever it is installed, and some 64-bit machines cannot
# execute any i386 program ("Exec format error"); there only the 64-bit
# loader works, and the prefix is set up and served through it.
WINE32=/usr/lib/wine/wine
WINE64=/usr/lib/wine/wine64

# The loader that starts programs of an architecture.
wine_loader() {
    case "$1" in
        win32) echo "$WINE32" ;;
        *) echo "$WINE64" ;;
    esac
}

# Starts the loader itself, which is the whole question and takes a few
# milliseconds.
can_run() {
    "$(wine_loader "$1")" --version >/dev/null 2>&1
}

# ARCHITECTURES: what this machine can run, both where it can (the
# product first); WHY: one line that says so. Fails with the reason when
# nothing can run, or when CORVANE_ARCH asks for what cannot.
choose_architectures() {
    local can32=0 can64=0
    can_run win32 && can32=1
    can_run win64 && can64=1
    case "${CORVANE_ARCH:-}" in
        '') ;;
        win32|win64)
            if ! can_run "$CORVANE_ARCH"; then
                echo "CORVANE_ARCH=$CORVANE_ARCH, but $(wine_loader "$CORVANE_ARCH") does not run on this machine" >&2
                return 1
            fi
            ARCHITECTURES=("$CORVANE_ARCH")
            WHY="$CORVANE_ARCH only, as CORVANE_ARCH asks"
            return 0 ;;
        *) echo "CORVANE_ARCH must be win32 or win64, not '$CORVANE_ARCH'" >&2; return 1 ;;
    esac
    if [ $can32 = 1 ] && [ $can64 = 1 ]; then
        ARCHITECTURES=(win32 win64)
        WHY="Win32 and Win64: this machine runs both of Wine's loaders"
    elif [ $can64 = 1 ]; then
        ARCHITECTURES=(win64)
        WHY="Win64 only: this machine cannot execute 32-bit programs, so Wine's 32-bit loader does not start"
    elif [ $can32 = 1 ]; then
        ARCHITECTURES=(win32)
        WHY="Win32 only: Wine's 64-bit loader does not start here"
    else
        echo "Neither of Wine's loaders ($WINE32, $WINE64) starts on this machine: nothing can be run" >&2
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

# A path of this machine as Wine shows it, through drive Z:.
windows_path() {
    echo "Z:$1" | tr / '\\'
}
