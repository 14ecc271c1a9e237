#!/usr/bin/env bash
# Starts the launcher in a Wine virtual desktop with a taskbar, in the build folder's own prefix
# (settings persist between runs). Uses $DISPLAY when set, else a virtual display it starts and
# stops itself.
# Usage: run-launcher.sh BUILD_DIR [--screenshot FILE --after SECONDS]  (the second form takes
# one screenshot after the given time and stops; the tests use it)
set -uo pipefail
build=$(realpath "$1"); shift
shot="" after=8
while [ $# -gt 0 ]; do
  case "$1" in
    --screenshot) shot=$(realpath -m "$2"); shift 2 ;;
    --after) after=$2; shift 2 ;;
    *) echo "unknown option $1" >&2; exit 2 ;;
  esac
done
here=$(dirname "$(realpath "$0")")
prefix="$build/run-prefix"
"$here/make-wine-prefix.sh" "$prefix"
export WINEPREFIX="$prefix" WINEDEBUG="${WINEDEBUG:--all}" WINEDLLOVERRIDES="mscoree,mshtml="

xvfb_pid=""
stop() {
  timeout 20 /usr/lib/wine/wineserver -k >/dev/null 2>&1
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
}
trap stop EXIT
trap 'exit 130' INT TERM
if [ -z "${DISPLAY:-}" ]; then
  dfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$dfile" 2>/dev/null &
  xvfb_pid=$!
  for _ in $(seq 200); do [ -s "$dfile" ] && break; sleep 0.05; done
  export DISPLAY=":$(tr -d '[:space:]' <"$dfile")"
  rm -f "$dfile"
  echo "Started a virtual display $DISPLAY (1024x768)."
fi

exe="$build/TolvernLauncher.exe"
/usr/lib/wine/wine64 explorer /desktop=shell,1024x768 "$exe" &
launcher=$!
if [ -n "$shot" ]; then
  sleep "$after"
  import -display "$DISPLAY" -window root "$shot"
  echo "Screenshot written to $shot"
  exit 0
fi
cat <<MSG
Tolvern Launcher is running in a Wine desktop on $DISPLAY; its icon is in the taskbar's
notification area (bottom right). Right-click it for the launcher menu.
  Screenshot:  import -display $DISPLAY -window root launcher.png
  Stop:        press Ctrl+C here (or choose the menu's exit command)
MSG
wait "$launcher"
