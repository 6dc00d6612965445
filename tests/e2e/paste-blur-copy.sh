#!/usr/bin/env bash
# Paste a picture offered by another program, blur it at position 30 with a
# border, copy it back, and compare what another program reads with
# nebulo-blur's result for the same picture.
source "$(dirname "$0")/session.sh"

convert -size 61x43 gradient:'#3050d0'-'#f0a020' -fill white -draw 'circle 30,20 30,32' in.png
start_nebulo "$NEBULO"
offer_png in.png
paste_and_blur 30
copy_and_read copied.png

"$NEBULO_BLUR" --border --amount 3 in.png expected.png
identify copied.png expected.png
expect_same_pixels copied.png expected.png "the copied picture differs from nebulo-blur's"

screenshot "$WID" window.png
colours=$(convert window.png -format %k info:)
[ "$colours" -gt 50 ] || fail "the window looks blank ($colours colours)"
echo "PASS: pasted, blurred at 3 with a border, copied; $colours colours on screen"
