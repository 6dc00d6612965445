#pragma once

#include "pictureio/ArrivingBytes.h"
#include "pictureio/IncomingPicture.h"
#include "pictureio/IncomingRoad.h"
#include "pictureio/PictureBytes.h"
#include "pictureio/Trace.h"

#include <QByteArray>
#include <QList>

#include <exception>
#include <stop_token>

namespace nebulo {

inline constexpr const char* NoAnswerMessage = "The program holding the clipboard did not answer";
inline constexpr const char* UnsupportedFormatMessage = "Unsupported clipboard format";
inline constexpr TRoadTexts ClipboardTexts{NoAnswerMessage, UnsupportedFormatMessage,
                                           "The picture on the clipboard is too large",
                                           "The program holding the clipboard sent too little of the picture"};

// A picture held by another program on X11: the selection that holds it
// (CLIPBOARD, or XdndSelection for a drag's data), the types to ask for, best
// first, and how long to wait.
struct TOwnerRequest {
    QByteArray Display; // as DISPLAY names it; empty for the environment's
    QByteArray Selection = "CLIPBOARD";
    uint32_t Time = 0; // of the event that asks; 0 for now
    QList<QByteArray> Preferred = PastePreferences();
    // Whether to ask the owner which types it offers; a drag lists them
    // before the drop, and the first preferred is then read at once.
    bool AskTargets = true;
    TWaitLimits Limits;
    TRoadTexts Texts = ClipboardTexts;
};

// What a selection's owner sent of the first preferred type it offers: its
// bytes, nothing (it offers none of them), or a failure.
struct TOwnerBytes {
    QByteArray Bytes;
    bool Offered = false;
    std::exception_ptr Failure;
};
// Reads the selection through our own connection to the X server; made to
// run off the window's thread, on an incoming road. Into, where given, takes
// the bytes as they come.
TOwnerBytes FetchBytesFromOwner(const TOwnerRequest& Request, std::stop_token Stop = {},
                                TArrivingBytes* Into = nullptr);
// The same, decoding the picture while its pieces come, then prepares it
// (nothing when no picture type is offered).
TArrival FetchFromOwner(const TOwnerRequest& Request, TTrace Trace, std::stop_token Stop = {});

// The road through Qt's clipboard, for a clipboard this process holds and
// platforms whose clipboard does not keep the window waiting for long (on
// Wayland Qt waits about a second for a silent program, on this thread; Qt
// offers no other way). The bytes are read here, and decoded on the road.
void FetchThroughQt(TIncomingRoad& Road, TTrace Trace);

} // namespace nebulo
