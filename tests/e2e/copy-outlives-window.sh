#!/usr/bin/env bash
# Copy, then close the window: with no clipboard manager running, the picture
# stays on the clipboard, served by a keeper process, until another program
# copies something; then the keeper ends.
source "$(dirname "$0")/session.sh"

convert -size 61x43 gradient:'#3050d0'-'#f0a020' in.png
export NEBULO_TRACE=1
start_nebulo "$NEBULO"
offer_png in.png
paste_shown
set_slider 30
click $BLUR_AT
copy_and_read before-closing.png

# Close through the window menu's Close entry, then wait for the program.
open_window_menu click $FREE_AREA_AT 3
xdotool key c
wait "$NEBULO_PID" || true
NEBULO_PID=
keeper=$(sed -n 's/^keep 61x43: .*, process \([0-9]*\)$/\1/p' "$NEBULO_LOG")
[ -n "$keeper" ] || fail "no keeper was started: $(cat "$NEBULO_LOG")"
# The keeper is no child of this script: once it ends, its number may go to
# another process, so it is known by its number and its start, and an ended
# one that no one has reaped yet counts as gone.
started() { awk '$3 != "Z" {print $22}' "/proc/$keeper/stat" 2>/dev/null; }
keeper_started=$(started)
keeper_runs() { [ -n "$keeper_started" ] && [ "$(started)" = "$keeper_started" ]; }
end_test() { keeper_runs && kill "$keeper" 2>/dev/null; }

read_clipboard_png copied.png || fail "nothing on the clipboard after the window closed"
"$NEBULO_BLUR" --amount 3 in.png expected.png
expect_same_pixels copied.png expected.png "the kept picture differs from nebulo-blur's"

echo "another copy" | xclip -selection clipboard -i -quiet >/dev/null 2>&1 &
XCLIP_PID=$!
keeper_gone() { ! keeper_runs; }
wait_for 10 keeper_gone || fail "the keeper goes on after another program took the clipboard"
echo "PASS: the copy outlived the window (keeper $keeper) and ended with the next copy"
