#pragma once

#include "desktop/IncomingPicture.h"
#include "desktop/Trace.h"

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
// The most a paste takes from another program: beyond any picture the
// window can decode.
constexpr int64_t ClipboardByteLimit = int64_t(256) << 20;

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

// The picture types a paste asks for, best first: PNG, BMP, then what else
// Qt decodes.
QList<QByteArray> PastePreferences();
// The best of the offered types by those preferences; empty when none is a
// picture type.
QByteArray PreferredPictureType(const QStringList& Offered);

// Reads the clipboard through our own connection to the X server (Display as
// DISPLAY names it), then decodes and prepares the picture; made to run off
// the window's thread.
TFetchResult FetchFromOwner(const QByteArray& Display, const QList<QByteArray>& Preferred, TTrace Trace);

// Reads the clipboard through Qt, for a clipboard this process holds and for
// platforms whose clipboard does not keep the window waiting.
TFetchResult FetchThroughQt(TTrace Trace);

} // namespace nebulo
