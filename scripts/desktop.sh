# Functions that drive Nebulo on an X display with xdotool, xclip and
# ImageMagick; sourced by the end-to-end tests and the headless demo.
# Every wait polls with a deadline; nothing sleeps a fixed time.

# The client positions of the main window's controls (centres).
PASTE_AT="16 212"; COPY_AT="44 212"; MOVE_AT="72 212"; ZOOM_AT="96 212"; BLUR_AT="124 212"
BORDER_AT="240 212"; SLIDER_AT="8 242"; FREE_AREA_AT="100 228"; VIEW_AT="120 95"

fail() { echo "FAIL: $*" >&2; exit 1; }

# wait_for SECONDS COMMAND...: runs COMMAND until it succeeds.
wait_for() {
  local deadline=$((SECONDS + $1)); shift
  until "$@"; do
    [ $SECONDS -lt $deadline ] || return 1
    sleep 0.1
  done
}

# start_xvfb: a private server; sets DISPLAY and XVFB_PID. Without -noreset
# the server resets whenever its last client leaves (a polling xdotool, say),
# and a program connecting during that reset is turned away.
start_xvfb() {
  local fifo; fifo=$(mktemp -u); mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$fifo" >/dev/null 2>&1 &
  XVFB_PID=$!
  local number; read -r -t 20 number <"$fifo" || fail "Xvfb did not start"
  rm -f "$fifo"
  export DISPLAY=":$number"
}

# start_nebulo PROGRAM: sets NEBULO_PID and WID (the main window).
start_nebulo() {
  QT_QPA_PLATFORM=xcb "$1" >"${NEBULO_LOG:-/dev/null}" 2>&1 &
  NEBULO_PID=$!
  WID=$(window_named '^Nebulo$') || fail "the main window did not appear"
}

find_window() {
  FOUND_WINDOW=$(xdotool search --all --onlyvisible --pid "$NEBULO_PID" --name "$1" 2>/dev/null | head -n 1)
  [ -n "$FOUND_WINDOW" ]
}

# window_named REGEX: the visible window of Nebulo with that title.
window_named() {
  wait_for 20 find_window "$1" || return 1
  echo "$FOUND_WINDOW"
}

stop_nebulo() {
  [ -n "${NEBULO_PID:-}" ] && kill -CONT "$NEBULO_PID" 2>/dev/null && kill "$NEBULO_PID" 2>/dev/null && wait "$NEBULO_PID" 2>/dev/null
  NEBULO_PID=
}

# click X Y [BUTTON]: in the main window's client coordinates.
click() { xdotool mousemove --window "$WID" "$1" "$2" click "${3:-1}"; }

clipboard_offers_png() { xclip -selection clipboard -o -t TARGETS 2>/dev/null | grep -q image/png; }

# offer_png FILE: puts the picture on the clipboard; sets XCLIP_PID.
offer_png() {
  xclip -selection clipboard -t image/png -i -quiet "$1" >/dev/null 2>&1 &
  XCLIP_PID=$!
  wait_for 10 clipboard_offers_png || fail "xclip offers nothing"
}

# pixel WINDOW X Y: the colour of a window's pixel, as srgb(r,g,b).
pixel() { import -window "$1" png:- | convert png:- -format "%[pixel:p{$2,$3}]" info:; }

# screenshot WINDOW FILE
screenshot() { import -window "$1" "$2"; }

# read_clipboard_png FILE: waits until a picture is offered and saves it.
read_clipboard_png() {
  wait_for 10 clipboard_offers_png || return 1
  xclip -selection clipboard -o -t image/png >"$1"
}

# set_slider POSITION: with the keyboard, once a click has given it focus.
set_slider() {
  click $SLIDER_AT
  xdotool key Home
  [ $(($1 / 5)) -gt 0 ] && xdotool key --repeat $(($1 / 5)) Prior
  [ $(($1 % 5)) -gt 0 ] && xdotool key --repeat $(($1 % 5)) Right
  return 0
}

# now_ms: milliseconds on a clock that only goes forward.
now_ms() { echo $(( $(date +%s%N) / 1000000 )); }

# other_window REGEX: a visible window of Nebulo with that title other than
# the main window (a message box is titled "Nebulo" too); sets FOUND_WINDOW.
other_window() {
  FOUND_WINDOW=$(xdotool search --all --onlyvisible --pid "$NEBULO_PID" --name "$1" 2>/dev/null | grep -vx "$WID" | head -n 1)
  [ -n "$FOUND_WINDOW" ]
}

# close_message_box WINDOW: presses its default button and waits until it is gone.
close_message_box() {
  xdotool windowfocus --sync "$1" key Return
  box_gone() { ! xdotool search --all --onlyvisible --pid "$NEBULO_PID" --name '' 2>/dev/null | grep -qx "$1"; }
  wait_for 10 box_gone "$1"
}

# paste_picture FILE [X Y]: offers FILE with xclip (XCLIP_PID), clicks Paste
# and waits until the view's pixel at X Y (10 10) changes.
paste_picture() {
  local x=${2:-10} y=${3:-10} blank
  blank=$(pixel "$WID" "$x" "$y")
  offer_png "$1"
  click $PASTE_AT
  view_changed() { [ "$(pixel "$WID" "$x" "$y")" != "$blank" ]; }
  wait_for 10 view_changed || fail "the pasted picture does not show"
}
