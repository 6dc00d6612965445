"""Another program that drags something onto a window and drops it (XDND).

xdnd-source.py KIND WINDOW: KIND is png:FILE (picture data), file:PATH (a
file), stalled-data or stalled-files (a source that lists picture data or
files and then never answers). Like the toolkits' drag sources, it serves
its data only until it hears that the drop is over. After the drop it pings the window's event
loop (_NET_WM_PING) every 50 ms for 3 s; it prints "dropped" and "finished"
(the drop's XdndFinished) as they happen, then "longest MS", the longest
wait for an answer to a ping.
"""
import select
import sys
import time

from Xlib import X, display
from Xlib.protocol import event

kind, window_id = sys.argv[1], int(sys.argv[2], 0)
d = display.Display()
root = d.screen().root
atom = d.intern_atom
source = root.create_window(0, 0, 1, 1, 0, X.CopyFromParent)
XDND = {n: atom("Xdnd" + n) for n in ("Selection", "Enter", "Position", "Status", "Drop", "Finished", "ActionCopy")}
PNG, URI_LIST = atom("image/png"), atom("text/uri-list")
PROTOCOLS, PING = atom("WM_PROTOCOLS"), atom("_NET_WM_PING")
# The window answers a ping on the root window, to the window manager: this
# program plays that part while it runs, and so maps and places what the
# window shows meanwhile (its message box) as asked.
root.change_attributes(event_mask=X.SubstructureNotifyMask | X.SubstructureRedirectMask)
CONFIGURED = ((X.CWX, "x"), (X.CWY, "y"), (X.CWWidth, "width"), (X.CWHeight, "height"),
              (X.CWBorderWidth, "border_width"))
source.set_selection_owner(XDND["Selection"], X.CurrentTime)
target = d.create_resource_object("window", window_id)
offers_data = kind.startswith("png:") or kind == "stalled-data"


def say(line):
    print(line, flush=True)


def send(message, data):
    target.send_event(event.ClientMessage(window=target, client_type=message, data=(32, (data + [0] * 5)[:5])))
    d.flush()


finished = False


def answer(request):
    if kind.startswith("stalled") or finished:
        return
    if kind.startswith("png:"):
        with open(kind[4:], "rb") as picture:
            payload, type_ = picture.read(), PNG
    else:
        payload, type_ = ("file://" + kind[5:] + "\r\n").encode(), URI_LIST
    request.requestor.change_property(request.property, type_, 8, payload)
    request.requestor.send_event(event.SelectionNotify(time=request.time, requestor=request.requestor,
                                                       selection=request.selection, target=request.target,
                                                       property=request.property))
    d.flush()


corner = target.translate_coords(root, 0, 0)
x, y = 100 - corner.x, 100 - corner.y
send(XDND["Enter"], [source.id, 5 << 24, PNG if offers_data else URI_LIST])
send(XDND["Position"], [source.id, 0, (x << 16) | y, X.CurrentTime, XDND["ActionCopy"]])
dropped = pinged = None
last_ping, longest = 0.0, 0.0
end = time.time() + 30
while time.time() < end:
    while d.pending_events():
        e = d.next_event()
        if e.type == X.ClientMessage and e.client_type == XDND["Status"] and dropped is None:
            dropped = time.time()
            end = dropped + 3
            send(XDND["Drop"], [source.id, 0, X.CurrentTime])
            say("dropped")
        elif e.type == X.ClientMessage and e.client_type == XDND["Finished"]:
            finished = True
            say("finished")
        elif e.type == X.ClientMessage and e.client_type == PROTOCOLS and pinged is not None:
            longest = max(longest, time.time() - pinged)
            pinged = None
        elif e.type == X.SelectionRequest:
            answer(e)
        elif e.type == X.MapRequest:
            e.window.map()
        elif e.type == X.ConfigureRequest:
            e.window.configure(**{name: getattr(e, name) for bit, name in CONFIGURED if e.value_mask & bit})
    now = time.time()
    if dropped is not None and pinged is None and now - last_ping >= 0.05:
        pinged = last_ping = now
        target.send_event(event.ClientMessage(window=target, client_type=PROTOCOLS,
                                              data=(32, [PING, X.CurrentTime, window_id, 0, 0])))
        d.flush()
    select.select([d.fileno()], [], [], 0.01)
if pinged is not None:
    longest = max(longest, time.time() - pinged)
say("longest %d" % (longest * 1000))
