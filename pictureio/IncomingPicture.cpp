#include "pictureio/IncomingPicture.h"

#include "pictureio/PictureBytes.h"
#include "toolkit/core/Exceptions.h"

#include <QPainter>

namespace nebulo {

namespace {

bool HasTransparentPixels(const QImage& Picture)
{
    if (!Picture.hasAlphaChannel())
        return false;
    const QImage Argb = Picture.format() == QImage::Format_ARGB32
                                || Picture.format() == QImage::Format_ARGB32_Premultiplied
                            ? Picture
                            : Picture.convertToFormat(QImage::Format_ARGB32);
    for (int Y = 0; Y < Argb.height(); ++Y) {
        const auto* Line = reinterpret_cast<const QRgb*>(Argb.constScanLine(Y));
        for (int X = 0; X < Argb.width(); ++X)
            if (qAlpha(Line[X]) != 255)
                return true;
    }
    return false;
}

QImage OnWhite(const QImage& Picture)
{
    QImage Opaque(Picture.size(), QImage::Format_RGB32);
    Opaque.fill(Qt::white);
    QPainter Painter(&Opaque);
    Painter.drawImage(0, 0, Picture);
    return Opaque;
}

} // namespace

TIncomingPicture PrepareIncomingPicture(QImage Picture)
{
    if (Picture.isNull())
        return {};
    if (HasTransparentPixels(Picture))
        return {OnWhite(Picture), true};
    // Fully opaque 32-bit pixels are laid out as the opaque format already.
    if (Picture.format() == QImage::Format_ARGB32 || Picture.format() == QImage::Format_ARGB32_Premultiplied)
        Picture.reinterpretAsFormat(QImage::Format_RGB32);
    else if (Picture.format() != QImage::Format_RGB32)
        Picture = Picture.convertToFormat(QImage::Format_RGB32);
    return {std::move(Picture), false};
}

TUnreadable UnreadableAs(const char* Text)
{
    return [Text](QImageReader::ImageReaderError) { return std::make_exception_ptr(EInvalidGraphic(Text)); };
}

TArrival ArrivalFromBytes(const QByteArray& Bytes, TTrace Trace, const TUnreadable& Unreadable)
{
    TPictureStream Decoder;
    return ArrivalFromStream(Decoder, Bytes, std::move(Trace), Unreadable);
}

TArrival ArrivalFromStream(TPictureStream& Decoder, const QByteArray& All, TTrace Trace,
                           const TUnreadable& Unreadable)
{
    try {
        return OutOfMemoryAsFailure([&] {
            QImageReader::ImageReaderError Reason = QImageReader::UnknownError;
            QImage Decoded = Decoder.Finish(All, &Reason);
            if (Decoded.isNull())
                return FailedArrival(Unreadable(Reason), std::move(Trace));
            Trace.SetSize(Decoded.width(), Decoded.height());
            Trace.Mark("decode");
            TArrival Arrived;
            Arrived.Picture = PrepareIncomingPicture(std::move(Decoded));
            Trace.Mark("convert");
            Arrived.Trace = std::move(Trace);
            return Arrived;
        });
    } catch (const Exception& Error) {
        return FailedArrival(std::make_exception_ptr(Error), std::move(Trace));
    }
}

TArrival ArrivalFromPicture(QImage Picture, TTrace Trace)
{
    Trace.SetSize(Picture.width(), Picture.height());
    TArrival Arrived;
    Arrived.Picture = PrepareIncomingPicture(std::move(Picture));
    Trace.Mark("convert");
    Arrived.Trace = std::move(Trace);
    return Arrived;
}

TArrival FailedArrival(std::exception_ptr Failure, TTrace Trace)
{
    TArrival Failed;
    Failed.Failure = std::move(Failure);
    Failed.Trace = std::move(Trace);
    return Failed;
}

TArrival ArrivalFromMime(const TMimePicture& Found, TTrace Trace, const TRoadTexts& Texts)
{
    if (Found.Unanswered())
        return FailedArrival(std::make_exception_ptr(EInvalidOperation(Texts.NoAnswer)), std::move(Trace));
    if (!Found.Within.isNull())
        return ArrivalFromPicture(Found.Within, std::move(Trace));
    if (Found.Type.isEmpty()) {
        TArrival Nothing;
        Nothing.Trace = std::move(Trace);
        return Nothing;
    }
    return ArrivalFromBytes(Found.Bytes, std::move(Trace), UnreadableAs(Texts.Unreadable));
}

QString PasteButtonHint(const QString& Usual, bool Flattened)
{
    return Flattened ? Usual + "\n(this picture's transparent parts were put on white)" : Usual;
}

} // namespace nebulo
