#!/usr/bin/env bash
# Runs one Windows program under Wine in a fresh copy of the build folder's template prefix.
# Used as CMAKE_CROSSCOMPILING_EMULATOR: wine-run.sh BUILD_DIR PROGRAM.exe [ARGS...]
# Environment: TOLVERN_GUI=1 starts a private Xvfb display for the run (stopped afterwards);
# TOLVERN_RUN_TIMEOUT (seconds, default 300) bounds the run so a hang fails instead of blocking.
# TOLVERN_DRIVES="r:cdrom s:floppy" maps those letters to empty folders of the prefix with
# those drive types. TOLVERN_LOGPIXELS=144 gives the run's prefix that DPI (150%) before it starts.
set -uo pipefail
build=$(realpath "$1"); shift
here=$(dirname "$(realpath "$0")")
template="$build/wine-template"
(
  flock 9
  "$here/make-wine-prefix.sh" "$template"
) 9>"$build/wine-template.lock"

prefix=$(mktemp -d "$build/wine-run.XXXXXX")
xvfb_pid=""
cleanup() {
  WINEPREFIX="$prefix" timeout 20 /usr/lib/wine/wineserver -k >/dev/null 2>&1
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$prefix"
}
trap cleanup EXIT
cp -a "$template/." "$prefix/"

# Wine's menu builder would start once for every shortcut a run saves (hundreds in a benchmark),
# each a process with a display connection, and write menu entries into the Unix home.
export WINEPREFIX="$prefix" WINEDEBUG="${WINEDEBUG:--all}" WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# The shell's Delete moves files to the Unix user's trash: a trash of the run's own.
export XDG_DATA_HOME="$prefix/xdg-data"
if [ -n "${TOLVERN_DRIVES:-}" ]; then
  "$here/wine-drives.sh" "$prefix" $TOLVERN_DRIVES || { echo "wine-run: drive set-up failed" >&2; exit 1; }
fi
if [ -n "${TOLVERN_LOGPIXELS:-}" ]; then
  # Read once per process at start. Written into the copied registry file while no Wine process
  # runs on the prefix: a value set through a server that is about to save and exit can be lost.
  grep -q '^\[Control Panel\\\\Desktop\]' "$prefix/user.reg" &&
    sed -i "/^\[Control Panel\\\\\\\\Desktop\]/a \"LogPixels\"=dword:$(printf %08x "$TOLVERN_LOGPIXELS")" \
      "$prefix/user.reg" || { echo "wine-run: LogPixels set-up failed" >&2; exit 1; }
fi
mkdir -p "$build/artifacts"
export TOLVERN_ARTIFACTS="Z:${build//\//\\}\\artifacts"
unset DISPLAY
if [ "${TOLVERN_GUI:-0}" = 1 ]; then
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$prefix/.display" 2>/dev/null &
  xvfb_pid=$!
  for _ in $(seq 200); do [ -s "$prefix/.display" ] && break; sleep 0.05; done
  display=$(tr -d '[:space:]' <"$prefix/.display")
  [ -n "$display" ] || { echo "wine-run: Xvfb did not start" >&2; exit 1; }
  export DISPLAY=":$display"
fi
timeout -k 10 "${TOLVERN_RUN_TIMEOUT:-300}" /usr/lib/wine/wine64 "$@"
rc=$?
[ $rc -eq 124 ] && echo "wine-run: timed out after ${TOLVERN_RUN_TIMEOUT:-300} s: $*" >&2
exit $rc
