// Saves the pointer's current shape on the X display as a PNG file, so that an
// end-to-end test can see the cursor that the program really shows.
#include <QImage>

// After Qt: Xlib's macros (Status, None …) clash with Qt's names.
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

#include <cstdio>
#include <memory>

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FILE.png\n", argv[0]);
        return 2;
    }
    const std::unique_ptr<Display, decltype(&XCloseDisplay)> Connection(XOpenDisplay(nullptr), XCloseDisplay);
    if (!Connection) {
        std::fprintf(stderr, "no X display\n");
        return 1;
    }
    const std::unique_ptr<XFixesCursorImage, decltype(&XFree)> Cursor(XFixesGetCursorImage(Connection.get()),
                                                                      XFree);
    if (!Cursor) {
        std::fprintf(stderr, "the X server gives no cursor image\n");
        return 1;
    }
    // Each pixel is premultiplied ARGB in the low 32 bits of an unsigned long.
    QImage Image(Cursor->width, Cursor->height, QImage::Format_ARGB32_Premultiplied);
    for (int Y = 0; Y < Image.height(); ++Y)
        for (int X = 0; X < Image.width(); ++X)
            Image.setPixel(X, Y, QRgb(Cursor->pixels[Y * Cursor->width + X]));
    return Image.save(argv[1]) ? 0 : 1;
}
