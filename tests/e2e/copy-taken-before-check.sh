#!/usr/bin/env bash
# Another program takes the clipboard after Nebulo has put a large picture on
# it but before the copy is complete (its PNG ready; Nebulo is stopped
# meanwhile): Nebulo says that the copied picture is not on the clipboard,
# and the other program's content stays.
source "$(dirname "$0")/session.sh"

convert -size 2023x2023 gradient:'#3050d0'-'#f0a020' -attenuate 0.5 +noise Gaussian -depth 8 in.png
export NEBULO_TRACE=1
start_nebulo "$NEBULO"
offer_png in.png
paste_shown
stop_xclip

# Nebulo is stopped as soon as it holds the clipboard, while it encodes (some
# 70 ms for this picture): the polling does not sleep.
nebulo_holds() { xclip -selection clipboard -o -t TARGETS 2>/dev/null | grep -qx image/png; }
click $COPY_AT
deadline=$(( $(now_ms) + 10000 ))
until nebulo_holds; do [ "$(now_ms)" -lt "$deadline" ] || fail "the copy did not take the clipboard"; done
kill -STOP "$NEBULO_PID"
echo "taken first" | xclip -selection clipboard -i -quiet >/dev/null 2>&1 &
XCLIP_PID=$!
# Until xclip holds the clipboard, a request goes to the stopped Nebulo.
offers_text() { timeout 1 xclip -selection clipboard -o -t TARGETS 2>/dev/null | grep -q STRING; }
wait_for 10 offers_text || fail "xclip did not take the clipboard"
kill -CONT "$NEBULO_PID"

wait_for 10 other_window '^Nebulo$' || fail "no message after the copy"
grep -q "nebulo: The copied picture is not on the clipboard" "$NEBULO_LOG" || fail "unexpected report: $(cat "$NEBULO_LOG")"
[ "$(xclip -selection clipboard -o)" = "taken first" ] || fail "the other program's content was lost"
echo "PASS: a clipboard taken before the copy was complete was reported"
