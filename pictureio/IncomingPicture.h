#pragma once

#include "pictureio/Trace.h"

#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <QString>

#include <exception>
#include <functional>

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

// What came in by any road: a picture ready to show, nothing (no picture
// was offered), or a failure for the error report.
struct TArrival {
    TIncomingPicture Picture;
    std::exception_ptr Failure;
    TTrace Trace{"paste"};
};

// What a road says when the program or file at its other end fails it.
struct TRoadTexts {
    const char* NoAnswer;
    const char* Unreadable;
    const char* TooLarge;
    const char* TooLittle;
};

// The failure a road reports for bytes that hold no picture, by the
// decoder's reason.
using TUnreadable = std::function<std::exception_ptr(QImageReader::ImageReaderError Reason)>;
// EInvalidGraphic with Text, whatever the reason.
TUnreadable UnreadableAs(const char* Text);

// The one road from bytes to a picture ready to show, whatever transport
// brought them: decoded by DecodePictureBytes, then prepared. Slow on large
// pictures: run it off the window's thread.
TArrival ArrivalFromBytes(const QByteArray& Bytes, TTrace Trace, const TUnreadable& Unreadable);
class TPictureStream;
// The same for bytes a decoder was given as they came; All holds them all.
TArrival ArrivalFromStream(TPictureStream& Decoder, const QByteArray& All, TTrace Trace,
                           const TUnreadable& Unreadable);
// A picture that came from within this program: prepared only.
TArrival ArrivalFromPicture(QImage Picture, TTrace Trace);
TArrival FailedArrival(std::exception_ptr Failure, TTrace Trace);

struct TMimePicture;
// Picture data read through Qt (a drop's, the clipboard's), decoded and
// prepared; nothing when it offers no picture type.
TArrival ArrivalFromMime(const TMimePicture& Found, TTrace Trace, const TRoadTexts& Texts);

// The Paste button's hint after a paste: its usual text, and what was done
// to a picture that had transparent pixels.
QString PasteButtonHint(const QString& Usual, bool Flattened);

} // namespace nebulo
