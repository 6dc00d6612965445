#include "clipboard/PasteFetch.h"

#include "clipboard/PictureOffer.h"
#include "clipboard/X11Selection.h"
#include "toolkit/core/Exceptions.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <algorithm>

namespace nebulo {

namespace {

using TOutcome = TX11Selection::TOutcome;

TFetchResult Failed(const Exception& Error, TTrace Trace)
{
    TFetchResult Result;
    Result.Failure = std::make_exception_ptr(Error);
    Result.Trace = std::move(Trace);
    return Result;
}

// The owner's picture, ready to show; what fails on the way leaves as an
// exception.
TFetchResult ReadFromOwner(const QByteArray& Display, const QList<QByteArray>& Preferred, TTrace& Trace)
{
    TX11Selection Selection(Display.isEmpty() ? nullptr : Display.constData());
    const TX11Selection::TTargets Offered = Selection.Targets(ClipboardPatience);
    if (Offered.Outcome == TOutcome::NoAnswer)
        return Failed(EInvalidOperation(NoAnswerMessage), std::move(Trace));
    const auto Chosen = std::find_if(Preferred.begin(), Preferred.end(),
                                     [&](const QByteArray& Type) { return Offered.Names.contains(Type); });
    if (Offered.Outcome != TOutcome::Done || Chosen == Preferred.end()) {
        TFetchResult Nothing;
        Nothing.Trace = std::move(Trace);
        return Nothing;
    }
    const TX11Selection::TTransfer Transfer = Selection.Read(*Chosen, ClipboardPatience, PictureByteLimit);
    switch (Transfer.Outcome) {
    case TOutcome::Done: break;
    case TOutcome::NoAnswer: return Failed(EInvalidOperation(NoAnswerMessage), std::move(Trace));
    case TOutcome::TooLarge: return Failed(EInvalidGraphic(TooLargeMessage), std::move(Trace));
    default: return Failed(EInvalidGraphic(UnsupportedFormatMessage), std::move(Trace));
    }
    Trace.Mark("read");
    return PrepareClipboardBytes(Transfer.Bytes, std::move(Trace));
}

} // namespace

TFetchResult PrepareClipboardBytes(const QByteArray& Bytes, TTrace Trace)
{
    QImage Decoded = DecodePictureBytes(Bytes);
    if (Decoded.isNull())
        return Failed(EInvalidGraphic(UnsupportedFormatMessage), std::move(Trace));
    Trace.SetSize(Decoded.width(), Decoded.height());
    Trace.Mark("decode");
    TFetchResult Result;
    Result.Picture = PrepareIncomingPicture(std::move(Decoded));
    Trace.Mark("convert");
    Result.Trace = std::move(Trace);
    return Result;
}

TFetchResult FetchFromOwner(const QByteArray& Display, const QList<QByteArray>& Preferred, TTrace Trace)
{
    try {
        return OutOfMemoryAsFailure([&] { return ReadFromOwner(Display, Preferred, Trace); });
    } catch (const Exception& Error) {
        return Failed(Error, std::move(Trace));
    }
}

TFetchResult FetchThroughQt(TTrace Trace)
{
    const QClipboard* System = QGuiApplication::clipboard();
    const QMimeData* Data = System->mimeData();
    // Our own copy is taken as it is; another program's bytes are looked at
    // before they are decoded.
    const auto* Own = qobject_cast<const TPictureOffer*>(Data);
    TFetchResult Result;
    if (Data == nullptr || (Own == nullptr && !Data->hasImage())) {
        Result.Trace = std::move(Trace);
        return Result;
    }
    bool Unanswered = false;
    QImage Picture = Own != nullptr ? Own->Picture() : PictureOfMimeData(*Data, &Unanswered);
    // Qt gives up on an owner that does not deliver what it offers (on
    // Wayland after a second) and hands back no bytes.
    if (Unanswered)
        return Failed(EInvalidOperation(NoAnswerMessage), std::move(Trace));
    if (Picture.isNull())
        return Failed(EInvalidGraphic(UnsupportedFormatMessage), std::move(Trace));
    Trace.SetSize(Picture.width(), Picture.height());
    Trace.Mark("read");
    Result.Picture = PrepareIncomingPicture(std::move(Picture));
    Trace.Mark("convert");
    Result.Trace = std::move(Trace);
    return Result;
}

} // namespace nebulo
