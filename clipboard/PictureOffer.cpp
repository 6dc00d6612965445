#include "clipboard/PictureOffer.h"

#include "pictureio/PngEncoder.h"
#include "pictureio/Trace.h"

#include <QElapsedTimer>
#include <QtConcurrent/QtConcurrentRun>

namespace nebulo {

TPictureOffer::TPictureOffer(const QImage& Picture, TEncoder Encoder) : Picture_(Picture)
{
    setImageData(Picture_);
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
    setImageData(Picture_);
    Png_ = QtFuture::makeReadyFuture(TEncoding{Png, 0});
}

QByteArray TPictureOffer::Png() const
{
    return Png_.result().Png;
}

QStringList TPictureOffer::formats() const
{
    QStringList Formats = QMimeData::formats();
    Formats.prepend(PngType);
    return Formats;
}

bool TPictureOffer::hasFormat(const QString& MimeType) const
{
    return MimeType == PngType || QMimeData::hasFormat(MimeType);
}

// An empty answer sends the requester down Qt's own writer for that type,
// which is also where a failed encoding ends.
QVariant TPictureOffer::retrieveData(const QString& MimeType, QMetaType Type) const
{
    if (MimeType == PngType) {
        const QByteArray Bytes = Png();
        if (!Bytes.isEmpty())
            return Bytes;
    }
    return QMimeData::retrieveData(MimeType, Type);
}

} // namespace nebulo
