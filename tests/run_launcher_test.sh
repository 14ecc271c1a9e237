#!/usr/bin/env bash
# `make run` without a display: the launcher starts on a virtual display, a screenshot shows
# its tray icon (the orange "T" of the ready icon) in the taskbar's notification area, and
# another the launcher menu that a right click on the icon opens.
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
# The menu opened from the icon: its banner's teal top (the default upper colour) stands at the
# right edge of the screen, above the taskbar.
menu="${shot%.png}-menu.png"
teal=$(convert "$menu" -crop 250x300+774+440 +repage -fill black -fuzz 3% +opaque 'rgb(0,128,128)' \
  -fill white -opaque 'rgb(0,128,128)' -format '%[fx:mean*w*h]' info:)
echo "banner pixels of the menu: $teal"
awk -v n="$teal" 'BEGIN { exit !(n >= 20) }'
