#!/usr/bin/env bash
# Starts the launcher in a Wine virtual desktop with a taskbar, in the build folder's own prefix
# (settings persist between runs). Uses $DISPLAY when set, else a virtual display it starts and
# stops itself.
# Usage: run-launcher.sh BUILD_DIR [--screenshot FILE --after SECONDS]  (the second form waits
# at most the given time for the tray icon, takes a screenshot of it and one of the menu opened
# from it (FILE with "-menu" before ".png"), and stops; the tests use it)
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

# The ready icon's place: the middle of its orange pixels in the notification area (bottom
# right of the screen), empty while it is not there.
find_icon() {
  import -display "$DISPLAY" -window root png:- 2>/dev/null |
    convert - -crop 200x24+824+744 +repage txt:- |
    awk -F'[,:]' 'tolower($0) ~ /#ff8c00/ { x += $1; y += $2; n++ }
                  END { if (n >= 20) printf "%d %d\n", 824 + x / n, 744 + y / n }'
}

# Without a display of the user's, nobody sees the program: show it working in screenshots.
# The launcher menu is opened from the tray icon with a right click, pictured and closed.
demonstrate() {
  local tray_shot=$1 menu_shot=$2 icon=""
  for _ in $(seq $((after * 2))); do
    icon=$(find_icon)
    [ -n "$icon" ] && break
    sleep 0.5
  done
  sleep 1
  import -display "$DISPLAY" -window root "$tray_shot"
  if [ -z "$icon" ]; then
    echo "The tray icon did not show; screenshot: $tray_shot" >&2
    return 1
  fi
  # shellcheck disable=SC2086
  xdotool mousemove $icon click 3
  # The mouse leaves the icon, so that its tip does not cover the menu.
  xdotool mousemove 400 300
  sleep 1.5
  import -display "$DISPLAY" -window root "$menu_shot"
  xdotool click 1
  echo "The launcher menu, opened from the tray icon: $menu_shot"
}

exe="$build/TolvernLauncher.exe"
/usr/lib/wine/wine64 explorer /desktop=shell,1024x768 "$exe" &
launcher=$!
if [ -n "$shot" ]; then
  demonstrate "$shot" "${shot%.png}-menu.png"
  exit $?
fi
if [ -n "$xvfb_pid" ]; then
  mkdir -p "$build/artifacts"
  demonstrate "$build/artifacts/run-tray.png" "$build/artifacts/run-menu.png"
fi
cat <<MSG
Tolvern Launcher is running in a Wine desktop on $DISPLAY; its icon is in the taskbar's
notification area (bottom right). Right-click it for the launcher menu.
  Screenshot:  import -display $DISPLAY -window root launcher.png
  Stop:        press Ctrl+C here (or choose the menu's exit command)
MSG
wait "$launcher"
