// Clicks at a point of a window and prints the milliseconds until a pixel of
// that window changes: the wait a person sees, measured from outside the
// program. A one-pixel read costs a fraction of a millisecond, where a
// screenshot costs tens.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <thread>

namespace {

using TClock = std::chrono::steady_clock;

// XDestroyImage is a macro, so it cannot be a deleter itself.
struct TImageRelease {
    void operator()(XImage* Image) const { XDestroyImage(Image); }
};

std::optional<unsigned long> PixelAt(Display* Connection, Window Target, int X, int Y)
{
    const std::unique_ptr<XImage, TImageRelease> Image(XGetImage(Connection, Target, X, Y, 1, 1, AllPlanes, ZPixmap));
    if (!Image)
        return std::nullopt;
    return XGetPixel(Image.get(), 0, 0);
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 6) {
        std::fprintf(stderr, "usage: %s WINDOW CLICK_X CLICK_Y WATCH_X WATCH_Y\n", argv[0]);
        return 2;
    }
    const Window Target = std::strtoul(argv[1], nullptr, 0);
    const int ClickX = std::atoi(argv[2]), ClickY = std::atoi(argv[3]);
    const int WatchX = std::atoi(argv[4]), WatchY = std::atoi(argv[5]);

    const std::unique_ptr<Display, decltype(&XCloseDisplay)> Connection(XOpenDisplay(nullptr), XCloseDisplay);
    if (!Connection) {
        std::fprintf(stderr, "no X display\n");
        return 1;
    }
    Display* const X = Connection.get();
    int RootX = 0, RootY = 0;
    Window Child = 0;
    if (!XTranslateCoordinates(X, Target, DefaultRootWindow(X), ClickX, ClickY, &RootX, &RootY, &Child)) {
        std::fprintf(stderr, "the window is on another screen\n");
        return 1;
    }
    // The pointer is in place before the pixel is read, so that a change a
    // hover makes is not taken for the click's.
    XTestFakeMotionEvent(X, DefaultScreen(X), RootX, RootY, CurrentTime);
    XSync(X, False);
    const std::optional<unsigned long> Before = PixelAt(X, Target, WatchX, WatchY);
    if (!Before) {
        std::fprintf(stderr, "the pixel at %d %d cannot be read\n", WatchX, WatchY);
        return 1;
    }

    XTestFakeButtonEvent(X, 1, True, CurrentTime);
    XTestFakeButtonEvent(X, 1, False, CurrentTime);
    XSync(X, False);
    const TClock::time_point Clicked = TClock::now();
    const TClock::time_point Deadline = Clicked + std::chrono::seconds(10);
    for (;;) {
        const std::optional<unsigned long> Now = PixelAt(X, Target, WatchX, WatchY);
        const TClock::time_point Seen = TClock::now();
        if (Now && *Now != *Before) {
            std::printf("%lld\n",
                        static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(Seen - Clicked).count()));
            return 0;
        }
        if (Seen > Deadline) {
            std::fprintf(stderr, "the pixel at %d %d did not change within 10 s\n", WatchX, WatchY);
            return 1;
        }
        // Leaves the cores to the program being timed.
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
}
