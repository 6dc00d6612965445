#!/usr/bin/env bash
# A program that holds the clipboard and never answers (xclip stopped with
# SIGSTOP): a paste gives up after about 2 seconds with a message, the window
# answers input meanwhile, the picture shown stays; a second paste likewise.
source "$(dirname "$0")/session.sh"

convert -size 61x43 gradient:'#3050d0'-'#f0a020' in.png
convert -size 20x20 xc:red stalled.png
start_nebulo "$NEBULO"
blank=$(pixel "$WID" 100 60)
offer_png in.png
paste_shown
zoomed_in() { [ "$(pixel "$WID" 100 60)" != "$blank" ]; }
zoomed_out() { [ "$(pixel "$WID" 100 60)" = "$blank" ]; }
stop_xclip

offer_png stalled.png
kill -STOP "$XCLIP_PID"

# poll_ms DEADLINE_MS COMMAND...: runs COMMAND until it succeeds, at most
# until the clock reaches DEADLINE_MS.
poll_ms() { local deadline=$1; shift; until "$@"; do [ "$(now_ms)" -lt "$deadline" ] || return 1; sleep 0.05; done; }

# One stalled paste: the view must zoom (ZOOM_CHECK, with BUTTON) while the
# paste waits, and the message must come after about 2 seconds.
stalled_paste() {
  local button=$1 zoom_check=$2 start
  start=$(now_ms)
  click $PASTE_AT
  click 120 95 "$button"
  poll_ms $((start + 1500)) "$zoom_check" || fail "the window did not answer while the paste waited"
  local answered=$(( $(now_ms) - start ))
  poll_ms $((start + 4000)) other_window '^Nebulo$' || fail "no message within 4 s of the paste"
  local reported=$(( $(now_ms) - start ))
  [ "$reported" -ge 1500 ] || fail "the paste gave up after only $reported ms"
  echo "paste: the view answered after $answered ms, the message came after $reported ms"
  BOX=$FOUND_WINDOW
}

# The view shows the pasted picture at 100 % before the first stalled paste.
poll_ms $(( $(now_ms) + 10000 )) zoomed_out || fail "the view is not at 100 %"
stalled_paste 1 zoomed_in
grep -q "nebulo: The program holding the clipboard did not answer" "$NEBULO_LOG" \
  || fail "the message is not the expected one: $(cat "$NEBULO_LOG")"
close_message_box "$BOX" || fail "the message box did not close"
zoomed_in || fail "the picture shown changed"

stalled_paste 3 zoomed_out
close_message_box "$BOX" || fail "the second message box did not close"
[ "$(grep -c "did not answer" "$NEBULO_LOG")" -eq 2 ] || fail "expected two messages: $(cat "$NEBULO_LOG")"
echo "PASS: two stalled pastes gave up with the message; the window answered throughout"
