#!/usr/bin/env bash
# A program that holds the clipboard and never answers (xclip stopped with
# SIGSTOP): the window answers input while the paste waits, the paste then
# gives up with a message and the picture shown stays; a second paste
# likewise. A paste of a BMP from a program that answers then works. What is
# judged is the order of events; the deadlines are only there to end a hang.
source "$(dirname "$0")/session.sh"

convert -size 61x43 gradient:'#3050d0'-'#f0a020' in.png
convert -size 20x20 xc:red stalled.png
convert -size 30x20 xc:'#20a040' BMP3:other.bmp
start_nebulo "$NEBULO"
blank=$(pixel "$WID" 100 60)
offer_png in.png
paste_shown
zoomed_in() { [ "$(pixel "$WID" 100 60)" != "$blank" ]; }
zoomed_out() { [ "$(pixel "$WID" 100 60)" = "$blank" ]; }
stop_xclip

offer_png stalled.png
kill -STOP "$XCLIP_PID"

# One stalled paste: the view must zoom (ZOOM_CHECK, with BUTTON) while the
# paste still waits, and the message must come after that.
stalled_paste() {
  local button=$1 zoom_check=$2
  click $PASTE_AT
  click 120 95 "$button"
  wait_for 10 "$zoom_check" || fail "the window did not answer while the paste waited"
  other_window '^Nebulo$' && fail "the paste gave up before the window had answered"
  wait_for 15 other_window '^Nebulo$' || fail "no message within the paste's deadline"
  echo "paste: the view answered while the paste waited, then the message came"
  BOX=$FOUND_WINDOW
}

# The view shows the pasted picture at 100 % before the first stalled paste.
wait_for 10 zoomed_out || fail "the view is not at 100 %"
stalled_paste 1 zoomed_in
grep -q "nebulo: The program holding the clipboard did not answer" "$NEBULO_LOG" \
  || fail "the message is not the expected one: $(cat "$NEBULO_LOG")"
close_message_box "$BOX" || fail "the message box did not close"
zoomed_in || fail "the picture shown changed"

stalled_paste 3 zoomed_out
close_message_box "$BOX" || fail "the second message box did not close"
[ "$(grep -c "did not answer" "$NEBULO_LOG")" -eq 2 ] || fail "expected two messages: $(cat "$NEBULO_LOG")"

# Another program offers a BMP and answers: the paste takes it.
stop_xclip
xclip -selection clipboard -t image/bmp -i -quiet other.bmp >/dev/null 2>&1 &
XCLIP_PID=$!
offers_bmp() { xclip -selection clipboard -o -t TARGETS 2>/dev/null | grep -q image/bmp; }
wait_for 10 offers_bmp || fail "xclip offers no BMP"
click $PASTE_AT
bmp_shown() { [ "$(pixel "$WID" 10 10)" = "srgb(32,160,64)" ]; }
wait_for 10 bmp_shown || fail "the pasted BMP does not show: $(pixel "$WID" 10 10)"
echo "PASS: two stalled pastes gave up with the message while the window answered; a BMP pasted then"
