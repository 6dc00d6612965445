#include "pictureio/IncomingPicture.h"

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

QString PasteButtonHint(const QString& Usual, bool Flattened)
{
    return Flattened ? Usual + "\n(this picture's transparent parts were put on white)" : Usual;
}

} // namespace nebulo
