#!/usr/bin/env bash
# The same session at device pixel ratios 1 and 2 (QT_SCALE_FACTOR). At 2 the
# windows are twice the size; the pictures (the view at zooms 100 %, 200 % and
# 50 %, the glyphs, the about box's icon, the view's cursor) are the ratio-1
# pixels as sharp 2 × 2 blocks, and text is drawn anew at the finer grain
# rather than enlarged.
source "$(dirname "$0")/session.sh"

# shot_after STATE COMMAND...: runs COMMAND and waits until the main window
# shows something new and keeps showing it; saves that as STATE-RATIO.png.
shot_after() {
  local file=$1-$PIXEL_RATIO.png; shift
  "$@"
  rm -f "$file"
  new_and_steady() {
    screenshot "$WID" next.png
    ! same_pixels next.png "${LAST_SHOT:-none}" && [ -f "$file" ] && same_pixels next.png "$file" && return 0
    mv next.png "$file"
    return 1
  }
  wait_for 10 new_and_steady || fail "$file: the window did not settle on a new picture"
  LAST_SHOT=$file
}

cursor_is_drawn_size() {
  "$CURSOR_IMAGE" cursor-$PIXEL_RATIO.png &&
    [ "$(identify -format %w cursor-$PIXEL_RATIO.png)" = $((32 * PIXEL_RATIO)) ]
}

session_at_ratio() {
  PIXEL_RATIO=$1 LAST_SHOT=
  start_nebulo "$NEBULO"
  shot_after start true
  offer_png in.png
  shot_after pasted click $PASTE_AT
  shot_after zoomed-in click $VIEW_AT
  shot_after back click $VIEW_AT 3
  shot_after zoomed-out click $VIEW_AT 3
  wait_for 10 cursor_is_drawn_size || fail "the view's cursor is not $((32 * PIXEL_RATIO)) pixels wide at ratio $1"
  open_about_with click $FREE_AREA_AT 3
  screenshot "$ABOUT" about-$1.png
  stop_nebulo
  stop_xclip
}

convert -size 61x43 gradient:'#3050d0'-'#f0a020' -fill white -draw 'circle 30,20 30,32' in.png
session_at_ratio 1
session_at_ratio 2

size_of() { identify -format '%w %h' "$1"; }
for state in start pasted zoomed-in zoomed-out about; do
  read -r w h <<<"$(size_of $state-1.png)"
  [ "$(size_of $state-2.png)" = "$((2 * w)) $((2 * h))" ] ||
    fail "$state: $(size_of $state-2.png) at ratio 2 is not twice $w $h"
done

# blocks_match STATE GEOMETRY [FILTER...]: that part of the ratio-1 picture,
# each pixel made 2 × 2, is exactly that part of the ratio-2 picture.
blocks_match() {
  local state=$1 w h x y; shift
  IFS='x+' read -r w h x y <<<"$1"; shift
  convert $state-1.png -crop "${w}x$h+$x+$y" +repage "$@" -sample 200% one.png
  convert $state-2.png -crop "$((2 * w))x$((2 * h))+$((2 * x))+$((2 * y))" +repage "$@" two.png
  same_pixels one.png two.png
}
VIEW=246x184+5+5 BUTTONS=133x25+4+200 ICON=32x32+135+6
for state in pasted zoomed-in zoomed-out; do
  blocks_match $state $VIEW || fail "$state: the view's pixels are not sharp 2 × 2 blocks"
  # The button faces are shaded by the style; the glyphs' black pixels are not.
  blocks_match $state $BUTTONS -fill white +opaque black || fail "$state: the glyphs are not sharp"
done
blocks_match about $ICON || fail "the about box's icon is not sharp"
convert cursor-1.png -sample 200% cursor-1x2.png
same_pixels cursor-1x2.png cursor-2.png || fail "the cursor at ratio 2 is not the ratio-1 cursor in 2 × 2 blocks"

# text_drawn_anew STATE GEOMETRY: the ink of the text there is twice as wide
# and high (a pixel either way for hinting) and not an enlargement.
text_drawn_anew() {
  local state=$1 w h x y; IFS='x+' read -r w h x y <<<"$2"
  ink() { convert "$1" -crop "$2" +repage -threshold 50% -format '%@' info:; }
  local one two; one=$(ink $state-1.png "$2"); two=$(ink $state-2.png "$((2 * w))x$((2 * h))+$((2 * x))+$((2 * y))")
  local w1 h1 w2 h2; IFS='x+' read -r w1 h1 _ _ <<<"$one"; IFS='x+' read -r w2 h2 _ _ <<<"$two"
  [ "$w1" -ge 10 ] && [ $((w2 - 2 * w1)) -ge -2 ] && [ $((w2 - 2 * w1)) -le 2 ] && [ $((h2 - 2 * h1)) -ge -2 ] &&
    [ $((h2 - 2 * h1)) -le 2 ] || fail "$state: text ink $two at ratio 2 against $one at ratio 1"
  ! blocks_match $state "$2" || fail "$state: the text at ratio 2 is the ratio-1 text enlarged"
}
text_drawn_anew pasted 60x17+180+204
text_drawn_anew about 75x16+9+5
echo "PASS: at ratio 2 the windows are twice the size, pictures, glyphs, icon and cursor sharp, text drawn anew"
