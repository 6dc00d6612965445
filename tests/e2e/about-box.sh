#!/usr/bin/env bash
# Open the system menu with a right click on the free area, choose the About
# entry, see the box centred, click it away; open it again with Shift+F10.
source "$(dirname "$0")/session.sh"

start_nebulo "$NEBULO"
about_gone() { ! find_window '^About Nebulo$'; }
place_of() { xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF} /Width/{w=$NF} /Height/{h=$NF} END{print x, y, w, h}'; }

open_about_with click $FREE_AREA_AT 3
first=$(place_of "$ABOUT")
[ "$first" = "551 481 178 61" ] || fail "the about box is at $first, not centred"
screenshot "$ABOUT" about.png
[ "$(convert about.png -format %k info:)" -gt 3 ] || fail "the about box looks blank"

xdotool mousemove --window "$ABOUT" 60 50 click 1
wait_for 10 about_gone || fail "a click did not close the about box"

xdotool windowfocus --sync "$WID"
open_about_with xdotool key shift+F10
[ "$(place_of "$ABOUT")" = "$first" ] || fail "the about box moved"
xdotool mousemove --window "$ABOUT" 150 20 click 1
wait_for 10 about_gone || fail "a click on the icon did not close the about box"
echo "PASS: about box opened from the system menu, centred at $first, closed by clicks"
