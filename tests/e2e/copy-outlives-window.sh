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
blur_and_copy 30 before-closing.png
close_nebulo
end_test() { stop_keeper; }
find_keeper || fail "no keeper was started: $(cat "$NEBULO_LOG")"

read_clipboard_png copied.png || fail "nothing on the clipboard after the window closed"
"$NEBULO_BLUR" --amount 3 in.png expected.png
expect_same_pixels copied.png expected.png "the kept picture differs from nebulo-blur's"

echo "another copy" | xclip -selection clipboard -i -quiet >/dev/null 2>&1 &
XCLIP_PID=$!
keeper_gone() { ! keeper_runs; }
wait_for 10 keeper_gone || fail "the keeper goes on after another program took the clipboard"
echo "PASS: the copy outlived the window (keeper $KEEPER) and ended with the next copy"
