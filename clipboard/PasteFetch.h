#pragma once

#include "pictureio/IncomingPicture.h"
#include "pictureio/PictureBytes.h"
#include "pictureio/Trace.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

#include <chrono>
#include <cstdint>
#include <exception>

namespace nebulo {

// How long a paste waits for the program that holds the clipboard before it
// gives up, counted afresh from each of that program's answers.
constexpr std::chrono::milliseconds ClipboardPatience{2000};

inline constexpr const char* NoAnswerMessage = "The program holding the clipboard did not answer";
inline constexpr const char* UnsupportedFormatMessage = "Unsupported clipboard format";
inline constexpr const char* TooLargeMessage = "The picture on the clipboard is too large";

// What a paste found: a picture ready to show, nothing (the clipboard offers
// no picture), or a failure for the error report.
struct TFetchResult {
    TIncomingPicture Picture;
    std::exception_ptr Failure;
    TTrace Trace{"paste"};
};

// Decodes the bytes of a picture the clipboard offered and makes it ready to
// show; bytes that are no picture are a failure.
TFetchResult PrepareClipboardBytes(const QByteArray& Bytes, TTrace Trace);

// Reads the clipboard through our own connection to the X server (Display as
// DISPLAY names it), then decodes and prepares the picture; made to run off
// the window's thread.
TFetchResult FetchFromOwner(const QByteArray& Display, const QList<QByteArray>& Preferred, TTrace Trace);

// Reads the clipboard through Qt, for a clipboard this process holds and for
// platforms whose clipboard does not keep the window waiting.
TFetchResult FetchThroughQt(TTrace Trace);

} // namespace nebulo
