#!/usr/bin/env bash
# What a screen reader finds of Nebulo and where the keyboard takes it, read
# on the accessibility bus of a private D-Bus session (screen-reader.py).
sources=$(cd "$(dirname "$0")/../.." && pwd)
source "$(dirname "$0")/session.sh"
dbus-run-session -- /usr/bin/python3 "$sources/tests/e2e/screen-reader.py" "$NEBULO" \
  "$sources/resources/samples/sample.png" 2> >(grep -v '^dbus-daemon\[' >&2)
