// Draws the program's 32 × 32 icon at the sizes a desktop's launcher asks
// for, each pixel repeated or dropped without smoothing, as the hicolor theme
// lays them out:
//   nebulo-icon-sizes ARTWORK.bmp THEME NAME SIZE...
// writes THEME/<SIZE>x<SIZE>/apps/NAME.png for each SIZE.
#include "toolkit/core/Exceptions.h"
#include "toolkit/core/TransparentImage.h"

#include <QDir>
#include <QImage>

#include <cstdio>

int main(int argc, char* argv[])
{
    if (argc < 5) {
        std::fprintf(stderr, "usage: %s ARTWORK.bmp THEME NAME SIZE...\n", argv[0]);
        return 2;
    }
    try {
        const QImage Artwork = nebulo::TransparentImage(QString::fromLocal8Bit(argv[1]));
        for (int I = 4; I < argc; ++I) {
            const int Size = QString(argv[I]).toInt();
            if (Size <= 0) {
                std::fprintf(stderr, "not a size: %s\n", argv[I]);
                return 2;
            }
            const QString Folder = QString("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[2])).arg(Size);
            const QString File = Folder + "/" + QString::fromLocal8Bit(argv[3]) + ".png";
            const QImage Icon = Artwork.scaled(Size, Size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
            if (!QDir().mkpath(Folder) || !Icon.save(File, "PNG")) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(File));
                return 1;
            }
        }
    } catch (const nebulo::Exception& Failure) {
        std::fprintf(stderr, "%s\n", Failure.what());
        return 1;
    }
    return 0;
}
