#!/usr/bin/env bash
# Copy and Close with one of the two clipboard managers Debian ships running
# (MANAGER): xfsettingsd, Xfce's settings daemon, saves every type when asked
# and then offers its copy; clipman never answers and puts its own copy back
# whenever the clipboard has no owner. No copy leaves the clipboard without
# an owner; Close ends the program at once; the copy stays readable, exactly,
# and the manager lives on: xfsettingsd holds the copy, or with clipman the
# keeper does. OWNER_WATCH reports every change of a selection's owner.
source "$(dirname "$0")/session.sh"

# The managers need a session bus, nothing else of a desktop.
read -r DBUS_SESSION_BUS_ADDRESS DBUS_PID < <(dbus-daemon --session --fork --print-address=1 --print-pid=1 | paste -sd ' ')
export DBUS_SESSION_BUS_ADDRESS
"$OWNER_WATCH" CLIPBOARD >owners.log &
OWNERS_PID=$!
"$OWNER_WATCH" CLIPBOARD_MANAGER >managers.log &
MANAGERS_PID=$!
case $MANAGER in
  xfsettingsd) xfsettingsd --no-daemon --disable-wm-check >manager.log 2>&1 & side=2023 copies=1 ;;
  clipman) xfce4-clipman >manager.log 2>&1 & side=61 copies=10 ;;
  *) fail "unknown manager $MANAGER" ;;
esac
MANAGER_PID=$!
end_test() {
  stop_keeper
  kill "$MANAGER_PID" "$OWNERS_PID" "$MANAGERS_PID" "$DBUS_PID" 2>/dev/null
}
owner() { tail -n 1 "$1" | cut -d ' ' -f 2; }
manager_runs() { [ -n "$(owner managers.log)" ] && [ "$(owner managers.log)" != 0x0 ]; }
wait_for 20 manager_runs || fail "$MANAGER does not own the clipboard manager's selection: $(cat manager.log)"

convert -seed 7 -size ${side}x${side} gradient:'#2040c0'-'#f0c040' -attenuate 0.5 +noise Gaussian -depth 8 \
  -define png:color-type=2 in.png
export NEBULO_TRACE=1
start_nebulo "$NEBULO"
offer_png in.png
paste_shown
blur_and_copy 30 copied.png
"$NEBULO_BLUR" --amount 3 in.png expected.png
expect_same_pixels copied.png expected.png "the copied picture differs from nebulo-blur's"
ours=$(owner owners.log)

# Every further Copy takes the clipboard over directly: a manager that puts
# its own copy back would find no moment without an owner.
for ((copy = 2; copy <= copies; copy++)); do
  changes=$(wc -l <owners.log)
  click $COPY_AT
  copied() { [ "$(wc -l <owners.log)" -gt "$changes" ]; }
  wait_for 10 copied || fail "copy $copy did not take the clipboard"
  clipboard_offers_png || fail "copy $copy: image/png is not offered"
done
[ "$(owner owners.log)" = "$ours" ] || fail "the clipboard went from Nebulo to $(owner owners.log)"
! sed -n "/ $ours\$/,\$p" owners.log | grep -q ' 0x0$' || fail "the clipboard had no owner for a moment: $(cat owners.log)"

close_nebulo
echo "with $MANAGER at ${side} x ${side}: the program ended $CLOSED_IN ms after Close"
# Qt on its own would wait five seconds for the manager.
[ "$CLOSED_IN" -lt 3000 ] || fail "the program took $CLOSED_IN ms to end after Close"
find_keeper || fail "no keeper took the copy: $(cat "$NEBULO_LOG")"

case $MANAGER in
  xfsettingsd)
    manager_holds() { ! keeper_runs && [ "$(owner owners.log)" != "$ours" ] && [ "$(owner owners.log)" != 0x0 ]; }
    wait_for 10 manager_holds || fail "$MANAGER did not take the copy over: $(cat owners.log)" ;;
  clipman)
    keeper_runs || fail "the keeper did not stay" ;;
esac
read_clipboard_png after-close.png || fail "nothing on the clipboard after Close"
cmp -s after-close.png copied.png || fail "the PNG on the clipboard after Close is not the one copied"
kill -0 "$MANAGER_PID" 2>/dev/null && manager_runs || fail "$MANAGER ended: $(cat manager.log)"
! grep -q BadWindow manager.log || fail "$MANAGER wrote to a window that was gone: $(cat manager.log)"
cat "$NEBULO_LOG"
echo "PASS: with $MANAGER, copies kept the clipboard, Close ended the program after $CLOSED_IN ms, the copy stayed exactly"
