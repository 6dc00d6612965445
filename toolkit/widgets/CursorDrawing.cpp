#include "toolkit/widgets/CursorDrawing.h"

#include "toolkit/core/Exceptions.h"
#include "toolkit/widgets/PixelScale.h"

#include <QBitmap>
#include <QFile>
#include <QList>

#include <array>

namespace nebulo {

namespace {

constexpr int RowBytes = CursorDrawingSize / 8;
using TBits = std::array<uchar, RowBytes * CursorDrawingSize>;

void SetBit(TBits& Bits, int X, int Y)
{
    Bits[size_t(Y * RowBytes + X / 8)] |= uchar(1u << (X % 8));
}

QBitmap BitmapOf(const TBits& Bits, int Scale)
{
    const QSize Size(CursorDrawingSize, CursorDrawingSize);
    QBitmap Blocks = QBitmap::fromPixmap(
        Enlarged(QBitmap::fromData(Size, Bits.data(), QImage::Format_MonoLSB), Scale));
    Blocks.setDevicePixelRatio(Scale);
    return Blocks;
}

} // namespace

QCursor CursorFromDrawing(const QByteArray& Drawing, int Scale)
{
    QList<QByteArray> Lines = Drawing.split('\n');
    if (!Lines.isEmpty() && Lines.back().isEmpty())
        Lines.removeLast();
    if (Lines.size() != CursorDrawingSize)
        throw EInvalidGraphic("Invalid cursor drawing: " + std::to_string(Lines.size()) + " lines");
    // A set bit is black in the image and opaque in the mask.
    TBits Image{};
    TBits Mask{};
    for (int Y = 0; Y < CursorDrawingSize; ++Y) {
        const QByteArray Line = Lines[Y].endsWith('\r') ? Lines[Y].chopped(1) : Lines[Y];
        if (Line.size() != CursorDrawingSize)
            throw EInvalidGraphic("Invalid cursor drawing: line " + std::to_string(Y + 1) + " is not "
                                  + std::to_string(CursorDrawingSize) + " characters");
        for (int X = 0; X < CursorDrawingSize; ++X) {
            switch (Line[X]) {
            case '#': SetBit(Image, X, Y); SetBit(Mask, X, Y); break;
            case '+': SetBit(Mask, X, Y); break;
            case '.': break;
            default:
                throw EInvalidGraphic("Invalid cursor drawing: unknown character at line "
                                      + std::to_string(Y + 1));
            }
        }
    }
    return QCursor(BitmapOf(Image, Scale), BitmapOf(Mask, Scale), 0, 0);
}

QCursor LoadCursorResource(const QString& Name)
{
    QFile File(":/cursors/" + Name + ".txt");
    if (!File.open(QIODevice::ReadOnly))
        throw EInvalidGraphic("Cursor resource not found: " + Name.toStdString());
    return CursorFromDrawing(File.readAll(), PixelScale());
}

} // namespace nebulo
