#!/usr/bin/env bash
# Creates a Wine prefix set up for the launcher: crash dialogs off, a 1024x768 virtual desktop
# with a taskbar, Japanese fonts linked, and real (empty) home folders instead of links to $HOME.
# It carries the marker C:\tolvern-test-prefix.txt: test programs that change the user's
# settings or folders run only where they find it (or with TOLVERN_ALLOW_USER_STATE=1).
# Usage: make-wine-prefix.sh PREFIX   (does nothing when PREFIX/.ready exists)
set -euo pipefail
prefix=$(realpath -m "$1")
mark() {
  printf 'Made by tools/make-wine-prefix.sh: tests may change this prefix user\x27s settings and folders.\r\n' \
    >"$prefix/drive_c/tolvern-test-prefix.txt"
}
if [ -f "$prefix/.ready" ]; then
  [ -f "$prefix/drive_c/tolvern-test-prefix.txt" ] || mark
  exit 0
fi
rm -rf "$prefix"
mkdir -p "$prefix"
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY
wine=/usr/lib/wine/wine64
server=/usr/lib/wine/wineserver
timeout 180 "$wine" wineboot -u >/dev/null 2>&1 || true
timeout 60 "$server" -w || true

reg=$(mktemp --suffix=.reg)
trap 'rm -f "$reg" "$reg.utf8"' EXIT
cat >"$reg.utf8" <<'REG'
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="shell"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"shell"="1024x768"

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink]
"Tahoma"="ipagp.ttf,IPAPGothic"
"Tahoma Bold"="ipagp.ttf,IPAPGothic"
"MS Shell Dlg"="ipagp.ttf,IPAPGothic"
"MS Shell Dlg 2"="ipagp.ttf,IPAPGothic"
"Arial"="ipagp.ttf,IPAPGothic"

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]
"MS UI Gothic"="IPAPGothic"
"ＭＳ Ｐゴシック"="IPAPGothic"
"ＭＳ ゴシック"="IPAPGothic"
REG
{ printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE "$reg.utf8"; } >"$reg"
timeout 60 "$wine" regedit /S "Z:${reg//\//\\}" >/dev/null 2>&1
timeout 60 "$server" -w || true

# Wine links the user's folders to the Unix home; tests and the launcher must see only their own files.
for d in "$prefix"/drive_c/users/*/; do
  for f in Desktop Documents Downloads Music Pictures Videos Templates; do
    if [ -L "$d$f" ]; then rm "$d$f"; mkdir -p "$d$f"; fi
  done
done
mark
touch "$prefix/.ready"
