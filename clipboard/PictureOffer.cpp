#include "clipboard/PictureOffer.h"

#include "pictureio/PngEncoder.h"
#include "pictureio/Trace.h"
#include "toolkit/core/BmpFile.h"
#include "toolkit/core/Stream.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QtConcurrent/QtConcurrentRun>

#include <exception>

namespace nebulo {

namespace {

// Qt's name for the picture itself, as its clipboard hands it over in process.
const QString PictureType = QStringLiteral("application/x-qt-image");

} // namespace

TPictureOffer::TPictureOffer(const QImage& Picture, TEncoder Encoder) : Picture_(Picture)
{
    if (!Encoder)
        Encoder = EncodePng;
    // The worker holds its own reference to the pixels: a later change of the
    // window's picture detaches from it and never reaches the encoder.
    Png_ = QtConcurrent::run([Pixels = Picture_, Encoder = std::move(Encoder)] {
        QElapsedTimer Clock;
        Clock.start();
        const long FaultsBefore = TTrace::ThreadFaults();
        QByteArray Png = Encoder(Pixels);
        return TEncoding{std::move(Png), double(Clock.nsecsElapsed()) / 1e6, TTrace::ThreadFaults() - FaultsBefore};
    });
    connect(&Watcher_, &QFutureWatcherBase::finished, this, &TPictureOffer::Encoded);
    Watcher_.setFuture(Png_);
}

TPictureOffer::TPictureOffer(const QImage& Picture, const QByteArray& Png) : Picture_(Picture)
{
    Png_ = QtFuture::makeReadyFuture(TEncoding{Png, 0});
}

QByteArray TPictureOffer::Png() const
{
    return Png_.result().Png;
}

QStringList TPictureOffer::OfferedTypes()
{
    return {PngType, BmpType, "image/x-bmp", "image/x-MS-bmp"};
}

// The picture itself, which this process takes as it is, is left out:
// listing it would make Qt offer every type its writers know.
QStringList TPictureOffer::formats() const
{
    return OfferedTypes();
}

// Qt's image type is not claimed either: a platform that sees it (Wayland)
// writes every picture type anew with Qt's writers in place of our bytes.
bool TPictureOffer::hasFormat(const QString& MimeType) const
{
    return OfferedTypes().contains(MimeType);
}

// A 24-bit BMP holds any opaque picture exactly and is written in tens of
// milliseconds at the largest size; it is made once, at the first request.
// Without the memory for it there are no bytes, as for a failed PNG.
QByteArray TPictureOffer::Bmp() const
{
    if (Bmp_.isEmpty()) {
        try {
            TMemoryStream File;
            WriteBmpFile(File, Picture_, TPixelFormat::pf24bit);
            Bmp_ = QByteArray(reinterpret_cast<const char*>(File.Memory()), qsizetype(File.Size()));
        } catch (const std::exception&) {
            return {};
        }
    }
    return Bmp_;
}

// A failed encoding takes the slower road of Qt's own PNG writer.
QVariant TPictureOffer::retrieveData(const QString& MimeType, QMetaType Type) const
{
    if (MimeType == PngType) {
        QByteArray Bytes = Png();
        if (Bytes.isEmpty()) {
            QBuffer Buffer(&Bytes);
            Buffer.open(QIODevice::WriteOnly);
            Picture_.save(&Buffer, "PNG");
        }
        return Bytes;
    }
    if (OfferedTypes().contains(MimeType))
        return Bmp();
    if (MimeType == PictureType)
        return Picture_;
    return QMimeData::retrieveData(MimeType, Type);
}

} // namespace nebulo
