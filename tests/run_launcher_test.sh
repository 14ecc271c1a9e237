#!/usr/bin/env bash
# `make run` without a display: the launcher starts on a virtual display and a screenshot shows
# its tray icon (the orange "T" of the ready icon) in the taskbar's notification area.
set -euo pipefail
build=$1
shot="$build/artifacts/make-run.png"
mkdir -p "$build/artifacts"
env -u DISPLAY "$(dirname "$0")/../tools/run-launcher.sh" "$build" --screenshot "$shot" --after 8
# Count the ready icon's orange pixels in the bottom 24 rows, at the right end of the taskbar.
orange=$(convert "$shot" -crop 200x24+824+744 +repage -fill black -fuzz 6% +opaque 'rgb(255,140,0)' \
  -fill white -opaque 'rgb(255,140,0)' -format '%[fx:mean*w*h]' info:)
echo "orange pixels of the tray icon: $orange"
awk -v n="$orange" 'BEGIN { exit !(n >= 20) }'
