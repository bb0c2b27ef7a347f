#!/bin/bash
# Packs a distribution archive from a folder holding the seven members,
# encrypted with a decrypt code, and prints the command line that installs
# from it.
#
#   tools/pack.sh PAYLOAD_FOLDER CODE ARCHIVE.ZIP
set -euo pipefail
[ $# -eq 3 ] || { echo "usage: $0 PAYLOAD_FOLDER CODE ARCHIVE.ZIP" >&2; exit 2; }
payload=$1 code=$2 archive=$(realpath -m "$3")

# The seven members, in the setup's order, from the setup's own list.
mapfile -t members < <(sed -n 's/^MEMBER("\(.*\)")$/\1/p' "$(dirname "$0")/../src/common/install_files.inc")
missing=0
for member in "${members[@]}"; do
    if [ ! -f "$payload/$member" ]; then
        echo "$0: $payload has no $member" >&2
        missing=1
    fi
done
[ $missing = 0 ] || exit 1
case "$code" in
    *'*'*) echo "$0: the code may not hold a '*'" >&2; exit 1 ;;
esac

mkdir -p "$(dirname "$archive")"
rm -f "$archive"
(cd "$payload" && zip -q -X -P "$code" "$archive" "${members[@]}")

windows=$(echo "Z:$archive" | tr / '\\')
echo "Packed $archive"
echo "Install with:  SETUP.EXE \"$windows*$code\""
