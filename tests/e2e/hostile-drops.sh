#!/usr/bin/env bash
# Drops from another program (an XDND source): picture data or a list of
# files from a source that then stalls, /dev/zero, a pipe nobody writes to.
# For each, the source hears that the drop is over before the message says
# why, the window answers its event loop's pings meanwhile (within a second,
# where it froze for 5 to 10 s before), the picture shown stays and the
# program stays under 300 MB. A dropped PNG's data and a dropped BMP file
# are then pasted.
source "$(dirname "$0")/session.sh"

convert -size 40x30 xc:'#2040a0' drop.png
convert -size 30x20 xc:'#20a040' BMP3:drop.bmp
mkfifo silent.fifo
start_nebulo "$NEBULO"
end_test() { [ -n "${DRAG_PID:-}" ] && kill "$DRAG_PID" 2>/dev/null; }

# drop KIND: drags KIND (see xdnd-source.py) onto the window and drops it.
drop() {
  /usr/bin/python3 "$(dirname "$0")/xdnd-source.py" "$1" "$WID" >drag.log 2>&1 &
  DRAG_PID=$!
}
dragged() { wait "$DRAG_PID" || fail "the drag failed: $(cat drag.log)"; DRAG_PID=; }

# hostile_drop KIND MESSAGE
hostile_drop() {
  drop "$1"
  wait_for 15 other_window '^Nebulo$' || fail "$1: no message"
  grep -q finished drag.log || fail "$1: the message came before the source heard that the drop was over"
  close_message_box "$FOUND_WINDOW" || fail "$1: the message box did not close"
  dragged
  grep -q "nebulo: $2" "$NEBULO_LOG" || fail "$1: the message is not \"$2\": $(cat "$NEBULO_LOG")"
  local longest; longest=$(sed -n 's/^longest //p' drag.log)
  [ "${longest:-100000}" -lt 1000 ] || fail "$1: the window did not answer for $longest ms"
  local memory; memory=$(awk '/^VmHWM/ {print int($2 / 1024)}' "/proc/$NEBULO_PID/status")
  [ "$memory" -lt 300 ] || fail "$1: the program took $memory MB"
  echo "$1: the source heard the drop was over before the message; the window answered within $longest ms; $memory MB at most"
}

blank=$(pixel "$WID" 10 10)
hostile_drop stalled-data "The program the picture was dragged from did not answer"
hostile_drop stalled-files "The program the picture was dragged from did not answer"
hostile_drop file:/dev/zero '"zero" goes on past any picture Nebulo can take'
hostile_drop "file:$PWD/silent.fifo" '"silent.fifo" is not a picture Nebulo can read'
[ "$(pixel "$WID" 10 10)" = "$blank" ] || fail "a refused drop changed the picture shown"

shows() { [ "$(pixel "$WID" 10 10)" = "$1" ]; }
drop "png:$PWD/drop.png"
wait_for 10 shows "srgb(32,64,160)" || fail "the dropped picture data does not show: $(pixel "$WID" 10 10)"
dragged
drop "file:$PWD/drop.bmp"
wait_for 10 shows "srgb(32,160,64)" || fail "the dropped BMP file does not show: $(pixel "$WID" 10 10)"
dragged
echo "PASS: hostile drops were refused with a message, their sources released at once; pictures dropped were pasted"
