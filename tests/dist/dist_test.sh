#!/usr/bin/env bash
# The downloads that `make dist` put into dist/: their names, the installers' properties and the
# zips' contents are checked here; then the zips are unpacked into folders of their own, an
# installer of the next version is made from the same program, and tests_dist.exe drives them
# under Wine in a fresh prefix.
# Usage: dist_test.sh BUILD_DIR DIST_DIR VERSION STRIP_TOOL
set -uo pipefail
build=$(realpath "$1")
dist=$(realpath -m "$2")
version=$3
strip=$4
source=$(realpath "$(dirname "$0")/../..")
failures=0
check() { # NAME EXPECTED ACTUAL
  if [ "$2" = "$3" ]; then
    echo "ok: $1"
  else
    printf 'FAILED: %s\n  expected: %q\n  actual:   %q\n' "$1" "$2" "$3"
    failures=$((failures + 1))
  fi
}
export LC_ALL=C.UTF-8 # the archiver reads and writes the read-me's Japanese name as UTF-8

check "the files in dist/ (run make dist first)" \
  "TolvernLauncher-$version-win32.msi TolvernLauncher-$version-win32.zip TolvernLauncher-$version-win64.msi TolvernLauncher-$version-win64.zip" \
  "$(ls "$dist" 2>/dev/null | sort | tr '\n' ' ' | sed 's/ $//')"
[ $failures -eq 0 ] || exit 1

# The installers: a per-user package (no ALLUSERS; word count 10 = compressed, no elevation
# needed) of this version, in Japanese, the Startup shortcut offered.
for arch in win64 win32; do
  msi="$dist/TolvernLauncher-$version-$arch.msi"
  properties=$(msiinfo export "$msi" Property | tr -d '\r' |
    grep -E '^(ALLUSERS|MSIINSTALLPERUSER|Manufacturer|ProductLanguage|ProductName|ProductVersion|STARTUP|ARPNOMODIFY)	' |
    sort | tr '\t\n' '= ' | sed 's/ $//')
  check "$arch installer's properties" \
    "ARPNOMODIFY=1 Manufacturer=Marrowick ProductLanguage=1041 ProductName=Tolvern Launcher ProductVersion=$version STARTUP=1" \
    "$properties"
  template=$([ $arch = win64 ] && echo x64 || echo Intel)
  check "$arch installer's summary" "Template: $template;1041 Source: 10 (a)" \
    "$(msiinfo suminfo "$msi" | grep -E '^(Template|Source):' | tr '\n' ' ' | sed 's/ $//')"
done

# The zips: three files, the read-me's name marked as UTF-8 (general purpose flag bit 11 in the
# central directory), the read-me as Notepad reads it (byte order mark, CRLF line ends).
utf8_names() { # the names whose central directory entry has the UTF-8 flag
  local zip=$1 offset flags length
  for offset in $(grep -obUaP '\x50\x4b\x01\x02' "$zip" | cut -d: -f1); do
    flags=$(od -An -tu2 -j $((offset + 8)) -N2 "$zip" | tr -d ' ')
    length=$(od -An -tu2 -j $((offset + 28)) -N2 "$zip" | tr -d ' ')
    if [ $((flags & 0x800)) -ne 0 ]; then
      dd if="$zip" bs=1 skip=$((offset + 46)) count="$length" status=none
      echo
    fi
  done
}
work="$build/dist-test"
rm -rf "$work"
mkdir -p "$work"
for arch in win64 win32; do
  zip="$dist/TolvernLauncher-$version-$arch.zip"
  check "$arch zip's files" "TolvernLauncher.exe TolvernLauncherHelp.html はじめにお読みください.txt" \
    "$(cmake -E tar tf "$zip" | sort | tr '\n' ' ' | sed 's/ $//')"
  check "$arch zip's names marked UTF-8" "はじめにお読みください.txt" "$(utf8_names "$zip")"
  mkdir -p "$work/$arch"
  (cd "$work/$arch" && cmake -E tar xf "$zip")
  readme="$work/$arch/はじめにお読みください.txt"
  check "$arch read-me's start" "efbbbf546f6c7665726e204c61756e6368657220$(printf '%s' "$version" | od -An -tx1 | tr -d ' \n')0d0a" \
    "$(head -c $((3 + 17 + ${#version} + 2)) "$readme" | od -An -tx1 | tr -d ' \n')"
  check "$arch read-me's line ends are all CRLF" "0" "$(grep -c $'[^\r]$' "$readme")"
done

# An installer of the next version, made the way make dist makes one.
IFS=. read -r major minor patch <<<"$version"
next="$major.$minor.$((patch + 1))"
cmake -DPROGRAM="$build/TolvernLauncher.exe" -DHELP="$source/res/help/TolvernLauncherHelp.html" \
  -DVERSION="$next" -DARCH=win64 -DSTRIP="$strip" -DOUT_DIR="$work/next" -DWORK_DIR="$work/next-work" \
  -P "$source/cmake/make-dist.cmake" >/dev/null || { echo "FAILED: making the next version"; exit 1; }

dos() { local p=${1//\//\\}; echo "Z:$p"; }
export TOLVERN_DIST_VERSION="$version" TOLVERN_DIST_NEXT_VERSION="$next" \
  TOLVERN_DIST_ZIP64_DIR="$(dos "$work/win64")" TOLVERN_DIST_ZIP32_DIR="$(dos "$work/win32")" \
  TOLVERN_DIST_MSI64="$(dos "$dist/TolvernLauncher-$version-win64.msi")" \
  TOLVERN_DIST_MSI32="$(dos "$dist/TolvernLauncher-$version-win32.msi")" \
  TOLVERN_DIST_NEXT_MSI64="$(dos "$work/next/TolvernLauncher-$next-win64.msi")"
"$source/tools/wine-run.sh" "$build" "$build/tests/tests_dist.exe" --gtest_color=no || failures=$((failures + 1))
rm -rf "$work"
[ $failures -eq 0 ]
