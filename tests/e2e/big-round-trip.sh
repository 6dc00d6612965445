#!/usr/bin/env bash
# The round trip on the largest picture the blur takes: paste a 2023 x 2023
# PNG, blur at 20, copy; what another program reads as image/png equals
# nebulo-blur's output, and so is the BMP offered beside it. The
# trace gives each command's phases, and the click-to-screen times are taken
# from outside; the times are printed, not judged.
source "$(dirname "$0")/session.sh"

convert -seed 7 -size 2023x2023 gradient:'#2040c0'-'#f0c040' -attenuate 0.5 +noise Gaussian -depth 8 \
  -define png:color-type=2 in.png
export NEBULO_TRACE=1
start_nebulo "$NEBULO"
offer_png in.png
traced() { grep -q "$1" "$NEBULO_LOG"; }
paste_ms=$("$CLICK_TIME" "$WID" $PASTE_AT 100 100) || fail "the pasted picture does not show"
# The trace's line follows the picture onto the screen.
wait_for 10 traced "^paste 2023x2023: read [0-9]* ms ([0-9]* faults), decode [0-9]* ms ([0-9]* faults), convert [0-9]* ms ([0-9]* faults), shown [0-9]* ms ([0-9]* faults), decoding [0-9]* ms of the read, [0-9.]* MB$" \
  || fail "no paste trace: $(cat "$NEBULO_LOG")"

set_slider 200
blur_ms=$("$CLICK_TIME" "$WID" $BLUR_AT 100 100) || fail "the blurred picture does not show"
wait_for 20 traced "^blur 2023x2023: " || fail "no blur trace: $(cat "$NEBULO_LOG")"
echo "from the click until the view changed: paste $paste_ms ms, blur $blur_ms ms"
# Timed from outside to a few milliseconds: xdotool's click holds the button
# about 100 ms before it lets go, so the pointer is put in place first and
# the press and release are given as such; the xclip that offered the
# picture ends as soon as the copy takes the clipboard, and the request for
# image/png then waits for the encoded bytes.
xdotool mousemove --window "$WID" $COPY_AT
start=$(now_ms)
xdotool mousedown 1 mouseup 1
until ! kill -0 "$XCLIP_PID" 2>/dev/null; do
  [ $(( $(now_ms) - start )) -lt 10000 ] || fail "the copy did not take the clipboard"
  sleep 0.002
done
xclip -selection clipboard -o -t image/png >copied.png || fail "nothing to read on the clipboard"
echo "the first image/png request: $(( $(now_ms) - start )) ms from the click on Copy, $(stat -c %s copied.png) bytes"
wait_for 10 traced "^copy 2023x2023: offer [0-9]* ms ([0-9]* faults), encode [0-9]* ms ([0-9]* faults), " || fail "no copy trace"

"$NEBULO_BLUR" --amount 20 in.png expected.png
expect_same_pixels copied.png expected.png "the copied picture differs from nebulo-blur's"
targets=$(xclip -selection clipboard -o -t TARGETS)
for type in image/png image/bmp; do
  grep -qx "$type" <<<"$targets" || fail "$type is not offered: $targets"
done
xclip -selection clipboard -o -t image/bmp >copied.bmp
expect_same_pixels copied.bmp expected.png "the copied BMP differs from nebulo-blur's"
cat "$NEBULO_LOG"
echo "PASS: a 2023 x 2023 picture went round, copied exactly as nebulo-blur writes it"
