#!/usr/bin/env bash
# Paste, blur and copy a picture, then take the Blur back with Ctrl+Z and
# copy again with Ctrl+C: another program reads exactly the picture pasted.
source "$(dirname "$0")/session.sh"

convert -size 61x43 gradient:'#3050d0'-'#f0a020' -fill white -draw 'circle 30,20 30,32' -depth 8 in.png
start_nebulo "$NEBULO"
offer_png in.png
paste_and_blur 30
copy_and_read blurred.png
same_pixels blurred.png in.png && fail "the Blur changed nothing"

# The slider's click gave the window the keyboard.
xdotool key ctrl+z ctrl+c
clipboard_holds_pasted() {
  xclip -selection clipboard -o -t image/png >undone.png 2>/dev/null && same_pixels undone.png in.png
}
wait_for 10 clipboard_holds_pasted || fail "after Ctrl+Z and Ctrl+C the clipboard does not hold the pasted picture"
identify blurred.png undone.png
echo "PASS: blurred and copied, then Ctrl+Z and Ctrl+C put the pasted picture back on the clipboard"
