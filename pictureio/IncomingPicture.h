#pragma once

#include <QImage>
#include <QString>

namespace nebulo {

// A picture on its way into the window, whatever road it came by, made
// ready off the window's thread: opaque 32-bit pixels, the form the window
// holds a pasted picture in, so that showing it copies nothing.
struct TIncomingPicture {
    QImage Pixels;
    // Some pixels were transparent and were put on white.
    bool Flattened = false;
};

// Pictures without transparent pixels keep their pixels (and, at 32 bits,
// their very buffer when the caller hands it over); transparent pixels are
// put on white.
TIncomingPicture PrepareIncomingPicture(QImage Picture);

// The Paste button's hint after a paste: its usual text, and what was done
// to a picture that had transparent pixels.
QString PasteButtonHint(const QString& Usual, bool Flattened);

} // namespace nebulo
