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

template <typename TError>
TArrival Failed(const char* Text, TTrace Trace)
{
    return FailedArrival(std::make_exception_ptr(TError(Text)), std::move(Trace));
}

TArrival ReadFromOwner(const TOwnerRequest& Request, TTrace& Trace, std::stop_token Stop)
{
    const TRoadTexts& Texts = Request.Texts;
    TX11Selection Selection(Request.Display.isEmpty() ? nullptr : Request.Display.constData(),
                            Request.Selection.constData());
    const TX11Selection::TWait Wait(Request.Limits.Patience, TX11Selection::TClock::now() + Request.Limits.Overall,
                                    std::move(Stop));
    TX11Selection::TTargets Offered{TOutcome::Done, Request.Preferred.mid(0, 1)};
    if (Request.AskTargets)
        Offered = Selection.Targets(Wait);
    if (Offered.Outcome == TOutcome::NoAnswer)
        return Failed<EInvalidOperation>(Texts.NoAnswer, std::move(Trace));
    const auto Chosen = std::find_if(Request.Preferred.begin(), Request.Preferred.end(),
                                     [&](const QByteArray& Type) { return Offered.Names.contains(Type); });
    if (Offered.Outcome != TOutcome::Done || Chosen == Request.Preferred.end()) {
        TArrival Nothing;
        Nothing.Trace = std::move(Trace);
        return Nothing;
    }
    const TX11Selection::TTransfer Transfer = Selection.Read(*Chosen, Wait, PictureByteLimit);
    switch (Transfer.Outcome) {
    case TOutcome::Done: break;
    case TOutcome::NoAnswer: return Failed<EInvalidOperation>(Texts.NoAnswer, std::move(Trace));
    case TOutcome::TooLarge: return Failed<EInvalidGraphic>(Texts.TooLarge, std::move(Trace));
    case TOutcome::TooLittle: return Failed<EInvalidGraphic>(Texts.TooLittle, std::move(Trace));
    default: return Failed<EInvalidGraphic>(Texts.Unreadable, std::move(Trace));
    }
    Trace.Mark("read");
    return ArrivalFromBytes(Transfer.Bytes, std::move(Trace), UnreadableAs(Texts.Unreadable));
}

} // namespace

TArrival FetchFromOwner(const TOwnerRequest& Request, TTrace Trace, std::stop_token Stop)
{
    try {
        return OutOfMemoryAsFailure([&] { return ReadFromOwner(Request, Trace, std::move(Stop)); });
    } catch (const Exception& Error) {
        return FailedArrival(std::make_exception_ptr(Error), std::move(Trace));
    }
}

void FetchThroughQt(TIncomingRoad& Road, TTrace Trace)
{
    const QMimeData* Data = QGuiApplication::clipboard()->mimeData();
    // Our own copy is taken as it is.
    if (const auto* Own = qobject_cast<const TPictureOffer*>(Data)) {
        Road.Deliver(ArrivalFromPicture(Own->Picture(), std::move(Trace)));
        return;
    }
    TMimePicture Found = Data != nullptr ? PictureOfMimeData(*Data) : TMimePicture();
    Trace.Mark("read");
    if (!Found.Within.isNull()) {
        Road.Deliver(ArrivalFromPicture(Found.Within, std::move(Trace)));
        return;
    }
    Road.Start([Found = std::move(Found), Trace = std::move(Trace)](std::stop_token) mutable {
        return ArrivalFromMime(Found, std::move(Trace), ClipboardTexts);
    });
}

} // namespace nebulo
