#!/usr/bin/env bash
# Nebulo on a Wayland desktop through Qt's Wayland platform plugin: sway runs
# on its X11 backend inside the private Xvfb, which xdotool drives. A picture
# offered with wl-copy is pasted, blurred at 3 with a border and copied;
# wl-paste must read back exactly nebulo-blur's result, also after the
# window is closed. A paste from a stalled wl-copy ends in the message first.
# sway refuses to run as root, so as root the desktop and its clients run as
# a user of their own.
APP_ID=$4
source "$(dirname "$0")/session.sh"

wayland_user=
DESK=$WORK
if [ "$(id -u)" = 0 ]; then
  wayland_user=nebulo-wayland
  id -u "$wayland_user" >/dev/null 2>&1 || useradd --create-home --shell /usr/sbin/nologin "$wayland_user" ||
    id -u "$wayland_user" >/dev/null || fail "cannot make the user $wayland_user"
  # The work folder may lie where that user cannot reach (a clone in a
  # private folder): the desktop, its clients and their files get their own.
  DESK=$(mktemp -d /tmp/nebulo-wayland.XXXXXX)
  mkdir -m 700 "$DESK/runtime"
  chown -R "$wayland_user" "$DESK"
  export XDG_RUNTIME_DIR=$DESK/runtime
fi
# as_desktop_user COMMAND...: runs a client of the desktop.
as_desktop_user() {
  if [ -n "$wayland_user" ]; then
    runuser -u "$wayland_user" -- env XDG_RUNTIME_DIR="$XDG_RUNTIME_DIR" WAYLAND_DISPLAY="${WAYLAND_DISPLAY:-}" \
      DISPLAY="$DISPLAY" "$@"
  else
    "$@"
  fi
}
cp "$NEBULO" "$DESK/"

end_test() {
  [ -n "${WL_COPY_PID:-}" ] && kill "$WL_COPY_PID" 2>/dev/null
  [ -n "${SWAY_PID:-}" ] && kill "$SWAY_PID" 2>/dev/null
  [ "$DESK" != "$WORK" ] && rm -rf "$DESK"
}

cat >"$DESK/sway.config" <<'CONFIG'
output X11-1 resolution 1280x1024 position 0 0
default_border none
xwayland disable
CONFIG
as_desktop_user env WLR_BACKENDS=x11 WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 sway -c "$DESK/sway.config" >sway.log 2>&1 &
SWAY_PID=$!
desktop_ready() { compgen -G "$XDG_RUNTIME_DIR/wayland-*.lock" >/dev/null && compgen -G "$XDG_RUNTIME_DIR/sway-ipc.*.sock" >/dev/null; }
wait_for 20 desktop_ready || { cat sway.log; fail "sway did not start"; }
lock=$(compgen -G "$XDG_RUNTIME_DIR/wayland-*.lock" | head -n 1)
export WAYLAND_DISPLAY=$(basename "$lock" .lock)
export SWAYSOCK=$(compgen -G "$XDG_RUNTIME_DIR/sway-ipc.*.sock" | head -n 1)

# The desktop fills the screen and tiles the one window at (0, 0), so the
# window's client coordinates are the screen's.
WID=$(xwininfo -root | awk '/Window id:/ {print $4}')
backdrop=$(pixel "$WID" 10 10)
convert -size 61x43 gradient:'#3050d0'-'#f0a020' -fill white -draw 'circle 30,20 30,32' in.png
# wl-copy itself, not the shell and runuser above it, writes down its number.
as_desktop_user sh -c 'echo $$ >"$1"; exec wl-copy --foreground --type image/png' sh "$DESK/wl-copy.pid" \
  <in.png >/dev/null 2>&1 &
WL_COPY_PID=$!
offers_png() { as_desktop_user wl-paste --list-types 2>/dev/null | grep -qx image/png; }
wait_for 10 offers_png || fail "wl-copy offers nothing"
copier=$(cat "$DESK/wl-copy.pid")

as_desktop_user env QT_QPA_PLATFORM=wayland NEBULO_TRACE=1 "$DESK/nebulo" >"$NEBULO_LOG" 2>&1 &
NEBULO_PID=$!
window_shown() { swaymsg -t get_tree 2>/dev/null | grep -q "\"app_id\": \"$APP_ID\""; }
wait_for 20 window_shown || { cat "$NEBULO_LOG"; fail "no window with the application id $APP_ID"; }
window_drawn() { [ "$(pixel "$WID" 10 10)" != "$backdrop" ]; }
wait_for 10 window_drawn || fail "the window is not drawn"

# A program that offers a picture and then does not answer: the paste gives
# up with the message, and the window goes on. wl-copy is stopped; runuser,
# its parent as root, stops with it, so both go on again afterwards (either
# may have ended meanwhile). A message that comes while wl-copy is not
# stopped any more is no answer to this check.
runner=$(ps -o ppid= -p "$copier" | tr -d ' ')
go_on() { kill -CONT "$copier" "$runner" 2>/dev/null || true; }
kill -STOP "$copier" || fail "wl-copy ended before the paste: $(cat "$NEBULO_LOG")"
start=$(now_ms)
click $PASTE_AT
said_no_answer() { grep -q "^nebulo: The program holding the clipboard did not answer$" "$NEBULO_LOG"; }
wait_for 10 said_no_answer || { go_on; fail "a paste from a stalled program: $(cat "$NEBULO_LOG")"; }
echo "a paste from a stalled program gave up after $(( $(now_ms) - start )) ms"
stopped=$(awk '{print $3}' "/proc/$copier/stat" 2>/dev/null || true)
go_on
[ "$stopped" = T ] || fail "wl-copy was not stopped when the message came (state '$stopped'): $(cat "$NEBULO_LOG")"
windows() { [ "$(swaymsg -t get_tree | grep -c "\"app_id\": \"$APP_ID\"")" = "$1" ]; }
wait_for 10 windows 2 || fail "no message box"
# The message box floats above the tiled window.
swaymsg "[app_id=\"$APP_ID\" floating] kill" >/dev/null || fail "no message box to close"
wait_for 10 windows 1 || fail "the message box stays"

paste_and_blur 30
click $COPY_AT
wl_copy_gone() { ! kill -0 "$WL_COPY_PID" 2>/dev/null; }
wait_for 10 wl_copy_gone || fail "the copy did not take the clipboard"
WL_COPY_PID=
wait_for 10 offers_png || fail "nothing offered after the copy"
as_desktop_user wl-paste --no-newline --type image/png >copied.png || fail "wl-paste read nothing"

"$NEBULO_BLUR" --border --amount 3 in.png expected.png
identify copied.png expected.png
expect_same_pixels copied.png expected.png "wl-paste read a picture that differs from nebulo-blur's"

# Close: the copy stays, handed to a wl-copy of Nebulo's own, which ends
# with the desktop.
closed=$(now_ms)
swaymsg "[app_id=\"$APP_ID\"] kill" >/dev/null || fail "no window to close"
wait "$NEBULO_PID" || true
NEBULO_PID=
echo "the program ended $(( $(now_ms) - closed )) ms after Close"
grep -q "^keep [0-9]*x[0-9]*: .*, wl-copy$" "$NEBULO_LOG" || fail "the copy was not handed over: $(cat "$NEBULO_LOG")"
wait_for 10 offers_png || fail "nothing offered after Close"
as_desktop_user wl-paste --no-newline --type image/png >after-close.png || fail "wl-paste read nothing after Close"
cmp -s after-close.png copied.png || fail "the PNG on the clipboard after Close is not the one copied"
echo "PASS: on Wayland ($WAYLAND_DISPLAY, sway), window $APP_ID pasted from wl-copy, blurred at 3 with a border, copied; wl-paste read nebulo-blur's picture exactly, also after Close"
