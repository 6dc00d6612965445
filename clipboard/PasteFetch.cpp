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
TOwnerBytes Failed(const char* Text)
{
    TOwnerBytes Failure;
    Failure.Failure = std::make_exception_ptr(TError(Text));
    return Failure;
}

TOwnerBytes ReadFromOwner(const TOwnerRequest& Request, std::stop_token Stop, TArrivingBytes* Into)
{
    const TRoadTexts& Texts = Request.Texts;
    TX11Selection Selection(Request.Display.isEmpty() ? nullptr : Request.Display.constData(),
                            Request.Selection.constData(), Request.Time);
    const TX11Selection::TWait Wait(Request.Limits.Patience, TX11Selection::TClock::now() + Request.Limits.Overall,
                                    std::move(Stop));
    TX11Selection::TTargets Offered{TOutcome::Done, Request.Preferred.mid(0, 1)};
    if (Request.AskTargets)
        Offered = Selection.Targets(Wait);
    if (Offered.Outcome == TOutcome::NoAnswer)
        return Failed<EInvalidOperation>(Texts.NoAnswer);
    const auto Chosen = std::find_if(Request.Preferred.begin(), Request.Preferred.end(),
                                     [&](const QByteArray& Type) { return Offered.Names.contains(Type); });
    if (Offered.Outcome != TOutcome::Done || Chosen == Request.Preferred.end())
        return {};
    TX11Selection::TTransfer Transfer = Selection.Read(*Chosen, Wait, PictureByteLimit, Into);
    switch (Transfer.Outcome) {
    case TOutcome::Done: break;
    case TOutcome::NoAnswer: return Failed<EInvalidOperation>(Texts.NoAnswer);
    case TOutcome::TooLarge: return Failed<EInvalidGraphic>(Texts.TooLarge);
    case TOutcome::TooLittle: return Failed<EInvalidGraphic>(Texts.TooLittle);
    default: return Failed<EInvalidGraphic>(Texts.Unreadable);
    }
    TOwnerBytes Sent;
    Sent.Bytes = std::move(Transfer.Bytes);
    Sent.Offered = true;
    return Sent;
}

} // namespace

TOwnerBytes FetchBytesFromOwner(const TOwnerRequest& Request, std::stop_token Stop, TArrivingBytes* Into)
{
    try {
        return OutOfMemoryAsFailure([&] { return ReadFromOwner(Request, std::move(Stop), Into); });
    } catch (const Exception& Error) {
        TOwnerBytes Failure;
        Failure.Failure = std::make_exception_ptr(Error);
        return Failure;
    }
}

TArrival FetchFromOwner(const TOwnerRequest& Request, TTrace Trace, std::stop_token Stop)
{
    // The picture is decoded on a thread of its own while its pieces come.
    TPictureStream Decoder;
    std::chrono::steady_clock::duration Decoding{};
    TArrivingBytes Arriving([&](const char* SoFar, qsizetype Size) {
        const auto Start = std::chrono::steady_clock::now();
        Decoder.Arrived(SoFar, Size);
        Decoding += std::chrono::steady_clock::now() - Start;
    });
    const TOwnerBytes Sent = FetchBytesFromOwner(Request, std::move(Stop), &Arriving);
    if (Sent.Failure)
        return FailedArrival(Sent.Failure, std::move(Trace));
    if (!Sent.Offered) {
        TArrival Nothing;
        Nothing.Trace = std::move(Trace);
        return Nothing;
    }
    Trace.Mark("read");
    Trace.Note(QString("decoding %1 ms of the read, %2 MB")
                   .arg(qRound(std::chrono::duration<double, std::milli>(Decoding).count()))
                   .arg(double(Sent.Bytes.size()) / 1e6, 0, 'f', 2));
    return ArrivalFromStream(Decoder, Sent.Bytes, std::move(Trace), UnreadableAs(Request.Texts.Unreadable));
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
