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

# start_nebulo PROGRAM: sets NEBULO_PID and WID (the main window). It runs at
# PIXEL_RATIO device pixels per pixel (a whole number; 1 when unset).
start_nebulo() {
  QT_SCALE_FACTOR=${PIXEL_RATIO:-1} QT_QPA_PLATFORM=xcb "$1" >"${NEBULO_LOG:-/dev/null}" 2>&1 &
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

# stop_nebulo: ends the program started by start_nebulo; a script may start it again.
stop_nebulo() {
  if [ -n "${NEBULO_PID:-}" ]; then
    # A stopped program ends only once it goes on.
    kill -CONT "$NEBULO_PID" 2>/dev/null
    kill "$NEBULO_PID" 2>/dev/null
    wait "$NEBULO_PID" 2>/dev/null || true
  fi
  NEBULO_PID=
}

# click X Y [BUTTON]: in the main window's client coordinates, in pixels of
# the window's own (so at PIXEL_RATIO 2 each is 2 pixels of the screen's).
click() { xdotool mousemove --window "$WID" $(($1 * ${PIXEL_RATIO:-1})) $(($2 * ${PIXEL_RATIO:-1})) click "${3:-1}"; }

# open_window_menu COMMAND...: COMMAND opens the window menu (a right click
# on the free area, Shift+F10); waits until it shows.
open_window_menu() {
  "$@"
  menu_open() { [ "$(xdotool search --all --onlyvisible --pid "$NEBULO_PID" --name '' 2>/dev/null | wc -l)" -ge 2 ]; }
  wait_for 10 menu_open || fail "the window menu did not open"
}

# open_about_with COMMAND...: opens the window menu with COMMAND and chooses
# its About entry. Sets ABOUT.
open_about_with() {
  open_window_menu "$@"
  xdotool key a
  ABOUT=$(window_named '^About Nebulo$') || fail "the about box did not open"
}

clipboard_offers_png() { xclip -selection clipboard -o -t TARGETS 2>/dev/null | grep -q image/png; }

# offer_png FILE: puts the picture on the clipboard; sets XCLIP_PID.
offer_png() {
  xclip -selection clipboard -t image/png -i -quiet "$1" >/dev/null 2>&1 &
  XCLIP_PID=$!
  wait_for 10 clipboard_offers_png || fail "xclip offers nothing"
}

# stop_xclip: ends the xclip that offer_png started, also a stopped one.
stop_xclip() {
  if [ -n "${XCLIP_PID:-}" ]; then
    kill -CONT "$XCLIP_PID" 2>/dev/null || true
    kill "$XCLIP_PID" 2>/dev/null || true
    wait "$XCLIP_PID" 2>/dev/null || true
  fi
  XCLIP_PID=
}

# close_nebulo: closes the main window through its window menu's Close entry
# and waits until the program has ended; CLOSED_IN is the milliseconds from
# the Close until then.
close_nebulo() {
  open_window_menu click $FREE_AREA_AT 3
  local closed; closed=$(now_ms)
  xdotool key c
  wait "$NEBULO_PID" || true
  CLOSED_IN=$(($(now_ms) - closed))
  NEBULO_PID=
}

# find_keeper: the keeper that took Nebulo's copy at Close, as its trace
# names it (KEEPER); keeper_runs says whether it still runs (it may have
# ended already). It is no child of
# the test: once it ends, its number may go to another process, so it is known
# by its number and its start, and an ended one that no one has reaped yet
# counts as gone.
process_start() { awk '$3 != "Z" {print $22}' "/proc/$1/stat" 2>/dev/null; }
find_keeper() {
  KEEPER=$(sed -n 's/^keep .*, process \([0-9]*\)$/\1/p' "$NEBULO_LOG")
  KEEPER_STARTED=$(process_start "$KEEPER")
  [ -n "$KEEPER" ]
}
keeper_runs() { [ -n "${KEEPER_STARTED:-}" ] && [ "$(process_start "$KEEPER")" = "$KEEPER_STARTED" ]; }
stop_keeper() { keeper_runs && kill "$KEEPER" 2>/dev/null; }

# stop_desktop: ends Nebulo, the offering xclip and the private X server.
stop_desktop() {
  stop_nebulo
  stop_xclip
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null
  wait 2>/dev/null
}

# pixel WINDOW X Y: the colour of a window's pixel, as srgb(r,g,b).
pixel() { import -window "$1" png:- | convert png:- -format "%[pixel:p{$2,$3}]" info:; }

# screenshot WINDOW FILE
screenshot() { import -window "$1" "$2"; }

# differing_pixels A B: how many pixels of two pictures differ (an error text
# when their sizes differ); same_pixels A B: none.
differing_pixels() { compare -metric AE "$1" "$2" null: 2>&1 || true; }
same_pixels() { [ "$(differing_pixels "$1" "$2")" = 0 ]; }

# expect_same_pixels A B WHAT: fails with "WHAT in N pixels" unless the two
# pictures are the same.
expect_same_pixels() {
  local differing; differing=$(differing_pixels "$1" "$2")
  [ "$differing" = 0 ] || fail "$3 in $differing pixels"
}

# read_clipboard_png FILE: waits until a picture is offered and saves it.
read_clipboard_png() {
  wait_for 10 clipboard_offers_png || return 1
  xclip -selection clipboard -o -t image/png >"$1"
}

# paste_and_blur POSITION: pastes the picture another program offers, waits
# until it shows, and blurs it at slider POSITION with a border.
paste_and_blur() {
  paste_shown
  set_slider "$1"
  click $BORDER_AT
  click $BLUR_AT
}

# blur_and_copy POSITION FILE: blurs at slider POSITION, copies, and saves what
# another program then reads from the clipboard.
blur_and_copy() {
  set_slider "$1"
  click $BLUR_AT
  copy_and_read "$2"
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

# paste_shown [X Y]: clicks Paste and waits until the view's pixel at X Y
# (10 10) changes.
paste_shown() {
  local x=${1:-10} y=${2:-10} blank
  blank=$(pixel "$WID" "$x" "$y")
  click $PASTE_AT
  view_changed() { [ "$(pixel "$WID" "$x" "$y")" != "$blank" ]; }
  wait_for 10 view_changed || fail "the pasted picture does not show"
}

# copy_and_read FILE: presses Copy and saves what another program then reads
# from the clipboard, once Nebulo has taken it from the xclip that offered.
copy_and_read() {
  click $COPY_AT
  xclip_gone() { ! kill -0 "$XCLIP_PID" 2>/dev/null; }
  wait_for 10 xclip_gone || fail "the copy did not take the clipboard"
  read_clipboard_png "$1" || fail "nothing to read on the clipboard"
}
