// Prints a line for every change of a selection's owner on the X display, as
// the X server reports it to any program that watches: "MS WINDOW" with the
// wall clock's milliseconds and the new owner's window (0x0 for none). The
// first line, before any change, is the owner at the start.
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

#include <chrono>
#include <cstdio>
#include <memory>

namespace {

void Print(Window Owner)
{
    const auto Now = std::chrono::system_clock::now().time_since_epoch();
    std::printf("%lld 0x%lx\n",
                static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(Now).count()), Owner);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s SELECTION\n", argv[0]);
        return 2;
    }
    const std::unique_ptr<Display, decltype(&XCloseDisplay)> Connection(XOpenDisplay(nullptr), XCloseDisplay);
    int EventBase = 0, ErrorBase = 0;
    if (!Connection || !XFixesQueryExtension(Connection.get(), &EventBase, &ErrorBase)) {
        std::fprintf(stderr, "no X display with XFixes\n");
        return 1;
    }
    const Atom Selection = XInternAtom(Connection.get(), argv[1], False);
    XFixesSelectSelectionInput(Connection.get(), DefaultRootWindow(Connection.get()), Selection,
                               XFixesSetSelectionOwnerNotifyMask | XFixesSelectionWindowDestroyNotifyMask
                                   | XFixesSelectionClientCloseNotifyMask);
    // Asked after the watch is set, so no change falls between the two.
    Print(XGetSelectionOwner(Connection.get(), Selection));
    for (;;) {
        XEvent Event;
        XNextEvent(Connection.get(), &Event);
        if (Event.type == EventBase + XFixesSelectionNotify)
            Print(reinterpret_cast<XFixesSelectionNotifyEvent&>(Event).owner);
    }
}
