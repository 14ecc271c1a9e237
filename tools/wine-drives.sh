#!/usr/bin/env bash
# Maps drive letters of a Wine prefix to empty folders with a given drive type.
# Usage: wine-drives.sh PREFIX LETTER:TYPE...   (TYPE: cdrom, floppy, hd, network)
# Wine reads the drive types only when its server starts, so the server is stopped afterwards.
set -euo pipefail
prefix=$(realpath "$1"); shift
export WINEPREFIX="$prefix" WINEDEBUG=-all
reg=$(mktemp --suffix=.reg)
trap 'rm -f "$reg"' EXIT
printf 'REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Wine\\Drives]\r\n' >"$reg"
for entry in "$@"; do
  letter=${entry%%:*}; type=${entry#*:}
  mkdir -p "$prefix/drives/$letter"
  ln -sfn "$prefix/drives/$letter" "$prefix/dosdevices/$letter:"
  printf '"%s:"="%s"\r\n' "$letter" "$type" >>"$reg"
done
timeout 60 /usr/lib/wine/wine64 regedit /S "Z:${reg//\//\\}" >/dev/null 2>&1
timeout 30 /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
timeout 30 /usr/lib/wine/wineserver -w >/dev/null 2>&1 || true
