#include "toolkit/core/TransparentImage.h"

#include "toolkit/core/Bitmap.h"
#include "toolkit/core/Exceptions.h"
#include "toolkit/core/Stream.h"

#include <QFile>

namespace nebulo {

QImage TransparentImage(const QString& File)
{
    QFile Source(File);
    if (!Source.open(QIODevice::ReadOnly))
        throw EStreamError("Cannot read the picture " + File.toStdString());
    const QByteArray Bytes = Source.readAll();
    TMemoryStream Stream(Bytes.constData(), Bytes.size());
    TBitmap Picture;
    Picture.LoadFromStream(Stream);
    QImage Image = Picture.ToRgb32().convertToFormat(QImage::Format_ARGB32);
    const QRgb Transparent = Image.pixel(0, Image.height() - 1);
    for (int Y = 0; Y < Image.height(); ++Y)
        for (int X = 0; X < Image.width(); ++X)
            if (Image.pixel(X, Y) == Transparent)
                Image.setPixel(X, Y, qRgba(0, 0, 0, 0));
    return Image;
}

} // namespace nebulo
