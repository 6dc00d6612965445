// Draws the program's 32 × 32 icon at the sizes a desktop's launcher asks
// for, each pixel repeated or dropped without smoothing, as the hicolor theme
// lays them out:
//   nebulo-icon-sizes ARTWORK.bmp THEME NAME SIZE...
// writes THEME/<SIZE>x<SIZE>/apps/NAME.png for each SIZE, and
// THEME/scalable/apps/NAME.svg for the SIZE "scalable".
#include "packaging/ScalableIcon.h"
#include "toolkit/core/Exceptions.h"
#include "toolkit/core/TransparentImage.h"

#include <QDir>
#include <QFile>
#include <QImage>

#include <cstdio>

namespace {

bool WriteFile(const QString& Name, const QByteArray& Bytes)
{
    QFile File(Name);
    return File.open(QIODevice::WriteOnly) && File.write(Bytes) == Bytes.size() && File.flush();
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 5) {
        std::fprintf(stderr, "usage: %s ARTWORK.bmp THEME NAME SIZE...\n", argv[0]);
        return 2;
    }
    try {
        const QImage Artwork = nebulo::TransparentImage(QString::fromLocal8Bit(argv[1]));
        const QString Theme = QString::fromLocal8Bit(argv[2]);
        const QString Name = QString::fromLocal8Bit(argv[3]);
        for (int I = 4; I < argc; ++I) {
            const QString SizeName = QString::fromLocal8Bit(argv[I]);
            const bool Scalable = SizeName == "scalable";
            const int Size = SizeName.toInt();
            if (!Scalable && Size <= 0) {
                std::fprintf(stderr, "not a size: %s\n", argv[I]);
                return 2;
            }
            const QString Folder = Theme + "/" + (Scalable ? SizeName : QString("%1x%1").arg(Size)) + "/apps";
            const QString File = Folder + "/" + Name + (Scalable ? ".svg" : ".png");
            const bool Written = QDir().mkpath(Folder)
                                 && (Scalable
                                         ? WriteFile(File, nebulo::ScalableIcon(Artwork))
                                         : Artwork.scaled(Size, Size, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                                               .save(File, "PNG"));
            if (!Written) {
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
