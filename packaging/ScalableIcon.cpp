#include "packaging/ScalableIcon.h"

#include <QColor>
#include <QString>

#include <map>

namespace nebulo {

QByteArray ScalableIcon(const QImage& Artwork)
{
    const QImage Pixels = Artwork.convertToFormat(QImage::Format_ARGB32);
    // Each row's runs of one colour, as path pieces, by colour; the map keeps
    // the output the same from run to run.
    std::map<QRgb, QByteArray> Runs;
    for (int Y = 0; Y < Pixels.height(); ++Y) {
        const auto* Row = reinterpret_cast<const QRgb*>(Pixels.constScanLine(Y));
        for (int X = 0; X < Pixels.width();) {
            int End = X + 1;
            while (End < Pixels.width() && Row[End] == Row[X])
                ++End;
            if (qAlpha(Row[X]) != 0)
                Runs[Row[X]] += QString("M%1 %2h%3v1h-%3z").arg(X).arg(Y).arg(End - X).toLatin1();
            X = End;
        }
    }
    QByteArray Svg = QString("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%2\" "
                             "viewBox=\"0 0 %1 %2\" shape-rendering=\"crispEdges\">\n")
                         .arg(Pixels.width())
                         .arg(Pixels.height())
                         .toLatin1();
    for (const auto& [Colour, Path] : Runs) {
        Svg += "<path fill=\"" + QColor(Colour).name().toLatin1() + "\" d=\"" + Path + "\"/>\n";
    }
    return Svg + "</svg>\n";
}

} // namespace nebulo
