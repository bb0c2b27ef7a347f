#!/bin/bash
# Prepares, in a folder of the build tree, Wine's 32-bit loader run by
# qemu-user's i386 emulator, for machines that cannot execute any 32-bit
# x86 code. Nothing system-wide changes, and nothing but Debian's packages
# is downloaded.
#
#   tools/emulated-win32/prepare.sh FOLDER
#
# Wine starts every 32-bit process as "<its own loader's folder>/wine-preloader
# <that folder>/wine ARGS". Debian ships no preloader, so FOLDER holds copies
# of Debian's two loaders (copies: Wine finds its own files from the real
# path of its loader) beside a wine-preloader of our own that hands the
# 32-bit loader to the emulator. The emulator is qemu-user 10 of Debian 13:
# Debian 12's 7.2 hangs with Wine, or takes minutes to start a program.
# Only its statically linked qemu-i386 is kept.
#
# FOLDER/wine32 then starts 32-bit programs and FOLDER/usr/lib/wine/wine64
# serves the prefix, with WINEDLLPATH naming the i386 builtins as well
# (tools/arch.sh). FOLDER/.ready says it is complete; it is made again
# when this script, the shim or Wine has changed since.
set -euo pipefail
folder=$(realpath -m "${1:?usage: $0 FOLDER}")
here=$(cd "$(dirname "$0")" && pwd)
stamp="$(cat "$here/prepare.sh" "$here/trapno.c" | md5sum | cut -c1-32) wine $(dpkg-query -W -f='${Version}' wine64)"
[ -f "$folder/.ready" ] && [ "$(cat "$folder/.stamp" 2>/dev/null)" = "$stamp" ] && exit 0

# LD_PRELOAD splits its list at blanks and colons.
case "$folder" in
    *[\ :]*) echo "$0: the build tree's path may hold no blank or colon: $folder" >&2; exit 1 ;;
esac
rm -rf "$folder"
mkdir -p "$folder"

echo "Preparing Wine's 32-bit loader under qemu-user in $folder..."
# Debian 13's qemu-user, through an apt source list and state of our own.
apt=$folder/apt
mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial"
# Debian 13's archive is signed with keys that Debian 12's keyring gained
# in an update.
[ -f /usr/share/keyrings/debian-archive-trixie-automatic.gpg ] ||
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --only-upgrade debian-archive-keyring >/dev/null
echo "deb http://deb.debian.org/debian trixie main" > "$apt/sources.list"
apt_options=(-o "Dir::Etc::SourceList=$apt/sources.list" -o Dir::Etc::SourceParts=- -o "Dir::State::Lists=$apt/lists"
    -o "Dir::Cache=$apt/cache" -o APT::Sandbox::User=root -qq)
apt-get "${apt_options[@]}" update
(cd "$apt" && apt-get "${apt_options[@]}" download qemu-user)
mkdir -p "$folder/qemu"
dpkg-deb --fsys-tarfile "$apt"/qemu-user_*.deb | tar -x -C "$folder/qemu" ./usr/bin/qemu-i386
mv "$folder/qemu/usr/bin/qemu-i386" "$folder/qemu-i386"
rm -rf "$apt" "$folder/qemu"

# The trap-number shim for the 32-bit loader, and an empty library of the
# same name for 64-bit processes, which inherit LD_PRELOAD from it. Built
# without executing any 32-bit code, and without the stack protector,
# whose i386 helper lives in a static part of libc that only 32-bit
# development packages bring.
mkdir -p "$folder/preload/lib/i386-linux-gnu" "$folder/preload/lib/x86_64-linux-gnu"
gcc -m32 -O2 -fPIC -ffreestanding -fno-stack-protector -c "$here/trapno.c" -o "$folder/preload/trapno.o"
ld -m elf_i386 -shared -o "$folder/preload/lib/i386-linux-gnu/trapno.so" "$folder/preload/trapno.o" \
    /lib/i386-linux-gnu/libc.so.6
echo 'void trapno_nothing_to_do(void) {}' | gcc -shared -fPIC -x c - -o "$folder/preload/lib/x86_64-linux-gnu/trapno.so"

# The loaders' folder, laid out as Debian's, so that they find ntdll and
# the data files from it.
mkdir -p "$folder/usr/lib/wine" "$folder/usr/share"
cp /usr/lib/wine/wine64 /usr/lib/wine/wine "$folder/usr/lib/wine/"
ln -s /usr/lib/wine/wineserver64 "$folder/usr/lib/wine/wineserver"
ln -s /usr/lib/x86_64-linux-gnu "$folder/usr/lib/x86_64-linux-gnu"
ln -s /usr/lib/i386-linux-gnu "$folder/usr/lib/i386-linux-gnu"
ln -s /usr/share/wine "$folder/usr/share/wine"
# WINELOADERNOEXEC: the 32-bit loader would otherwise hand itself to the
# preloader once more. $LIB is the dynamic linker's, chosen per process.
cat > "$folder/usr/lib/wine/wine-preloader" <<EOF
#!/bin/sh
export WINELOADERNOEXEC=1
export LD_PRELOAD='$folder/preload/\$LIB/trapno.so'
exec $folder/qemu-i386 "\$@"
EOF
cat > "$folder/wine32" <<EOF
#!/bin/sh
exec $folder/usr/lib/wine/wine-preloader $folder/usr/lib/wine/wine "\$@"
EOF
chmod +x "$folder/usr/lib/wine/wine-preloader" "$folder/wine32"
"$folder/qemu-i386" "$folder/usr/lib/wine/wine" --version >/dev/null ||
    { echo "$0: the emulated 32-bit loader does not start" >&2; exit 1; }
echo "$stamp" > "$folder/.stamp"
"$folder/qemu-i386" --version | awk 'NR == 1 { print "qemu-i386 " $3 }' > "$folder/.ready"
echo "Ready: $(cat "$folder/.ready")."
