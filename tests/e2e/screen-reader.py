"""What a screen reader finds of Nebulo on the accessibility bus, and where
the keyboard takes it: the window's tree with its names, roles, values, key
bindings and states, before and after a paste; the Tab order both ways; the
news of a paste and a Blur; the about box as a dialog that Escape closes.

Run inside a private D-Bus session on a private X server:
screen-reader.py NEBULO PICTURE (a 200 x 150 PNG)."""

import os
import re
import subprocess
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Gio, GLib  # noqa: E402
import pyatspi  # noqa: E402

NEBULO, PICTURE = sys.argv[1:3]
FAILURES = []

# role | name | value | key binding | states | the description's first line;
# an indented row is a child of the row above it with one indent less.
TREE_BEFORE_PASTE = """\
frame | Nebulo | | | enabled |
  radio button | Move tool | | ;;m | focusable | Move Tool (M)
  radio button | Zoom tool | | ;;z | focusable | Zoom Tool (Z)
  filler | | | | enabled |
    image | No picture | | | enabled focusable |
  check box | Add border | | | focusable | Puts a white border around the picture before each Blur
  slider | Blur amount | 0.0 | | focusable | Blur Amount: 0
  label | Blur amount | | | enabled | Blur Amount
  push button | Copy | | ;;<Control>c | focusable | Copy to Clipboard (Ctrl+C)
  push button | Paste | | ;;<Control>v | enabled focusable | Paste from Clipboard (Ctrl+V)
  push button | Blur | | ;;<Control>b | focusable | Blur (Ctrl+B) at 0
  frame | | | | enabled |
  notification | | | | enabled |"""

TREE_AFTER_PASTE = """\
frame | Nebulo | | | enabled |
  radio button | Move tool | | ;;m | enabled focusable | Move Tool (M)
  radio button | Zoom tool | | ;;z | enabled focusable checked | Zoom Tool (Z)
  filler | | | | enabled |
    image | Picture, 200 × 150 pixels | | | enabled focusable |
  check box | Add border | | | enabled focusable | Puts a white border around the picture before each Blur
  slider | Blur amount | 0.0 | | enabled focusable | Blur Amount: 0
  label | Blur amount | | | enabled | Blur Amount
  push button | Copy | | ;;<Control>c | enabled focusable | Copy to Clipboard (Ctrl+C)
  push button | Paste | | ;;<Control>v | enabled focusable | Paste from Clipboard (Ctrl+V)
  push button | Blur | | ;;<Control>b | enabled focusable | Blur (Ctrl+B) at 0
  frame | | | | enabled |
  notification | Pasted: picture, 200 × 150 pixels | | | enabled |"""

SHOWN_STATES = [("enabled", pyatspi.STATE_ENABLED), ("focusable", pyatspi.STATE_FOCUSABLE),
                ("checked", pyatspi.STATE_CHECKED)]


def fail(message):
    FAILURES.append(message)
    print("FAIL: " + message, file=sys.stderr)


def pump():
    context = GLib.MainContext.default()
    while context.pending():
        context.iteration(False)


def wait_for(seconds, probe):
    """Polls probe until it gives something true; returns its last answer."""
    deadline = time.monotonic() + seconds
    while True:
        pump()
        try:
            answer = probe()
        except Exception:  # an object that went away while asked
            answer = None
        if answer or time.monotonic() > deadline:
            return answer
        time.sleep(0.05)


def key(*keys):
    subprocess.run(["xdotool", "key", "--delay", "0"] + list(keys), check=True)


def set_session_flag(name):
    """As a screen reader does on starting: Qt joins the bus once it sees it."""
    bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
    bus.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.freedesktop.DBus.Properties", "Set",
                  GLib.Variant("(ssv)", ("org.a11y.Status", name, GLib.Variant("b", True))),
                  None, Gio.DBusCallFlags.NONE, 5000, None)


def application():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "nebulo":
            return app
    return None


def main_window():
    app = application()
    return next((w for w in app if w.name == "Nebulo"), None) if app else None


def row(accessible, depth):
    try:
        value = str(accessible.queryValue().currentValue)
    except NotImplementedError:
        value = ""
    try:
        actions = accessible.queryAction()
        binding = actions.getKeyBinding(0) if actions.nActions > 0 else ""
    except NotImplementedError:
        binding = ""
    held = accessible.getState()
    states = " ".join(name for name, state in SHOWN_STATES if held.contains(state))
    columns = " | ".join([accessible.getRoleName(), accessible.name, value, binding, states,
                          accessible.description.split("\n")[0]])
    return "  " * depth + re.sub(" +", " ", columns).strip()


def tree(accessible, depth=0):
    rows = [row(accessible, depth)]
    for child in accessible:
        rows += tree(child, depth + 1)
    return rows


def expect_tree(expected, when):
    actual = wait_for(5, lambda: (lambda rows: rows if rows == expected.splitlines() else None)(
        tree(main_window()))) or tree(main_window())
    if actual != expected.splitlines():
        fail("the tree %s is\n%s\nnot\n%s" % (when, "\n".join(actual), expected))


def focused(accessible):
    if accessible.getState().contains(pyatspi.STATE_FOCUSED):
        return accessible
    for child in accessible:
        found = focused(child)
        if found is not None:
            return found
    return None


def focused_name():
    found = focused(main_window())
    return found.name if found is not None else None


def walk(keys, expected, when):
    """Presses each key and notes where the focus went; a key that moves
    nothing shows as the same name twice."""
    seen = []
    for pressed in keys:
        before = focused_name()
        key(pressed)
        after = wait_for(2, lambda: (lambda name: name if name != before else None)(focused_name()))
        seen.append(after or before)
    if seen != expected:
        fail("%s the focus goes %s, not %s" % (when, seen, expected))


class Heard:
    """The events a screen reader hears: names and announcements."""

    def __init__(self):
        self.events = []
        for kind in ["object:property-change:accessible-name", "object:state-changed:showing"]:
            pyatspi.Registry.registerEventListener(self.note, kind)

    def note(self, event):
        if event.type.startswith("object:state-changed:showing") and not event.detail1:
            return
        self.events.append((event.source.getRoleName(), event.source.name))

    def expect(self, heard, when):
        if not wait_for(5, lambda: all(h in self.events for h in heard)):
            fail("%s the bus told %s, not %s" % (when, self.events, heard))
        self.events.clear()


def visible_windows(pid):
    return subprocess.run(["xdotool", "search", "--all", "--onlyvisible", "--pid", str(pid), "--name", ""],
                          capture_output=True, text=True).stdout.split()


def offers_picture():
    targets = subprocess.run(["xclip", "-selection", "clipboard", "-o", "-t", "TARGETS"],
                             capture_output=True, text=True).stdout
    return "image/png" in targets.split()


def labels_of(accessible):
    for relation in accessible.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
            return [relation.getTarget(i).getRoleName() + " " + relation.getTarget(i).name
                    for i in range(relation.getNTargets())]
    return []


def run(window_id, pid):
    subprocess.run(["xdotool", "windowfocus", "--sync", window_id], check=True)
    if wait_for(5, focused_name) != "No picture":
        fail("the view does not take the focus when the window opens")
    expect_tree(TREE_BEFORE_PASTE, "before a paste")
    walk(["Tab", "Tab", "shift+Tab", "shift+Tab"], ["Paste", "No picture", "Paste", "No picture"],
         "before a paste")

    slider = next(c for c in main_window() if c.getRoleName() == "slider")
    if labels_of(slider) != ["label Blur amount"]:
        fail("the slider is labelled by %s, not the amount's label" % labels_of(slider))

    heard = Heard()
    if not wait_for(5, offers_picture):
        fail("xclip offers no picture")
    key("Tab", "space")
    heard.expect([("image", "Picture, 200 × 150 pixels"),
                  ("notification", "Pasted: picture, 200 × 150 pixels")], "on Space over Paste")
    expect_tree(TREE_AFTER_PASTE, "after a paste")
    stops = ["Copy", "Move tool", "Zoom tool", "Blur", "Add border", "Blur amount",
             "Picture, 200 × 150 pixels", "Paste"]
    walk(["Tab"] * 8, stops, "after a paste, from Paste on Tab")
    walk(["shift+Tab"] * 8, stops[-2::-1] + ["Paste"], "after a paste, from Paste on Shift+Tab")

    # The amount at 3 and the border from their own keys, then Enter on Blur.
    walk(["shift+Tab", "shift+Tab"], ["Picture, 200 × 150 pixels", "Blur amount"], "back to the slider")
    key("Home", "Prior", "Prior", "Prior", "Prior", "Prior", "Prior")
    if wait_for(2, lambda: slider.queryValue().currentValue == 3.0) is not True:
        fail("six Page Ups make the amount %s, not 3.0" % slider.queryValue().currentValue)
    walk(["shift+Tab"], ["Add border"], "back to Add border")
    border = focused(main_window())
    key("space")
    if wait_for(2, lambda: border.getState().contains(pyatspi.STATE_CHECKED)) is not True:
        fail("Space does not tick Add border")
    walk(["shift+Tab"], ["Blur"], "back to Blur")
    key("Return")
    heard.expect([("image", "Picture, 205 × 155 pixels"),
                  ("notification", "Blurred at 3: picture, 205 × 155 pixels")], "on Enter over Blur")

    # The menu is a popup, which Qt leaves out of the tree: X tells it shows.
    key("shift+F10")
    if not wait_for(5, lambda: len(visible_windows(pid)) > 1):
        fail("Shift+F10 opens no window menu")
    key("a")
    box = wait_for(5, lambda: next((w for w in application() if w.name == "About Nebulo"
                                    and w.getState().contains(pyatspi.STATE_SHOWING)), None))
    if box is None:
        fail("the About entry opens no about box")
        return
    about = (box.getRoleName(), box.description)
    if about != ("dialog", "Nebulo v. 1.0, Gaussian blur tool, by the Nebulo team, 2026"):
        fail("the about box reads as %s %r" % (box.getRoleName(), box.description))
    key("Escape")
    if wait_for(5, lambda: not box.getState().contains(pyatspi.STATE_SHOWING)) is not True:
        fail("Escape leaves the about box open")


def main():
    set_session_flag("IsEnabled")
    set_session_flag("ScreenReaderEnabled")
    offer = subprocess.Popen(["xclip", "-selection", "clipboard", "-t", "image/png", "-i", "-quiet", PICTURE],
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    nebulo = subprocess.Popen([NEBULO], env=dict(os.environ, QT_QPA_PLATFORM="xcb"),
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        found = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--pid", str(nebulo.pid),
                                "--name", "^Nebulo$"], capture_output=True, text=True, timeout=20).stdout.split()
        if not found:
            fail("the main window does not show")
        elif wait_for(10, main_window) is None:
            fail("Nebulo never joins the accessibility bus")
        else:
            run(found[0], nebulo.pid)
    finally:
        for process in (nebulo, offer):
            process.terminate()
            process.wait()
    if FAILURES:
        sys.exit(1)
    print("PASS: every control is named with its role, value and key; Tab and Shift+Tab reach each in "
          "order and leave each; Paste and Blur are told; the about box is a dialog that Escape closes")


main()
