#include "toolkit/core/Bitmap.h"

#include "toolkit/core/BmpFile.h"
#include "toolkit/core/Exceptions.h"
#include "toolkit/core/Stream.h"

#include <limits>

namespace nebulo {

namespace {

QImage::Format StorageFor(TPixelFormat Format)
{
    switch (Format) {
    case TPixelFormat::pf1bit: return QImage::Format_Mono;
    case TPixelFormat::pf4bit:
    case TPixelFormat::pf8bit: return QImage::Format_Indexed8;
    case TPixelFormat::pf16bit: return QImage::Format_RGB555;
    case TPixelFormat::pf24bit: return QImage::Format_BGR888;
    case TPixelFormat::pf32bit: return QImage::Format_RGB32;
    }
    return QImage::Format_RGB32;
}

bool IsIndexed(const QImage& Image)
{
    return Image.format() == QImage::Format_Mono || Image.format() == QImage::Format_Indexed8;
}

int NearestIndex(const QList<QRgb>& Table, QRgb Colour)
{
    int Best = 0;
    int BestDistance = std::numeric_limits<int>::max();
    for (int I = 0; I < Table.size(); ++I) {
        const int R = qRed(Table[I]) - qRed(Colour);
        const int G = qGreen(Table[I]) - qGreen(Colour);
        const int B = qBlue(Table[I]) - qBlue(Colour);
        const int Distance = R * R + G * G + B * B;
        if (Distance < BestDistance) {
            Best = I;
            BestDistance = Distance;
        }
    }
    return Best;
}

// Converts an indexed picture back to its own storage after painting at 32 bits.
QImage MapBack(const QImage& Rgb, const QImage& Original)
{
    QImage Indexed = MapToPalette(Rgb, Original.colorTable());
    if (Original.format() != QImage::Format_Mono)
        return Indexed;
    QImage Mono(Indexed.size(), QImage::Format_Mono);
    Mono.setColorTable(Original.colorTable());
    for (int Y = 0; Y < Indexed.height(); ++Y)
        for (int X = 0; X < Indexed.width(); ++X)
            Mono.setPixel(X, Y, Indexed.constScanLine(Y)[X] & 1);
    return Mono;
}

QImage ConvertedStorage(const QImage& Image, TPixelFormat Format)
{
    const QImage::Format Storage = StorageFor(Format);
    switch (Format) {
    case TPixelFormat::pf1bit:
        if (Image.format() == QImage::Format_Mono)
            return Image;
        return Image.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
    case TPixelFormat::pf4bit:
        if (Image.format() == QImage::Format_Indexed8 && Image.colorCount() <= 16)
            return Image;
        return MapToPalette(Image.convertToFormat(QImage::Format_RGB32), StandardPalette16());
    case TPixelFormat::pf8bit:
        if (Image.format() == QImage::Format_Indexed8)
            return Image;
        return Image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
    default:
        return Image.format() == Storage ? Image : Image.convertToFormat(Storage);
    }
}

// Qt gives a null picture when the memory for a conversion runs out.
QImage ConvertStorage(const QImage& Image, TPixelFormat Format)
{
    QImage Converted = ConvertedStorage(Image, Format);
    if (Converted.isNull())
        throw EOutOfMemory();
    return Converted;
}

} // namespace

const QList<QRgb>& StandardPalette16()
{
    static const QList<QRgb> Palette = {
        qRgb(0, 0, 0),     qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
        qRgb(0, 0, 128),   qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(128, 128, 128),
        qRgb(192, 192, 192), qRgb(255, 0, 0), qRgb(0, 255, 0),   qRgb(255, 255, 0),
        qRgb(0, 0, 255),   qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
    return Palette;
}

QImage CompositedOverWhite(const QImage& Image)
{
    if (!Image.hasAlphaChannel())
        return Image;
    QImage Opaque(Image.size(), QImage::Format_RGB32);
    if (Opaque.isNull())
        throw EOutOfMemory();
    Opaque.fill(Qt::white);
    QPainter Painter(&Opaque);
    Painter.drawImage(0, 0, Image);
    return Opaque;
}

QImage MapToPalette(const QImage& Rgb, const QList<QRgb>& Table)
{
    if (Rgb.isNull())
        return {};
    const QImage Source = Rgb.convertToFormat(QImage::Format_RGB32);
    QImage Indexed(Source.size(), QImage::Format_Indexed8);
    if (Source.isNull() || Indexed.isNull())
        throw EOutOfMemory();
    Indexed.setColorTable(Table);
    QRgb LastColour = 0;
    int LastIndex = -1;
    for (int Y = 0; Y < Source.height(); ++Y) {
        const auto* In = reinterpret_cast<const QRgb*>(Source.constScanLine(Y));
        uchar* Out = Indexed.scanLine(Y);
        for (int X = 0; X < Source.width(); ++X) {
            if (LastIndex < 0 || In[X] != LastColour) {
                LastColour = In[X];
                LastIndex = NearestIndex(Table, LastColour);
            }
            Out[X] = uchar(LastIndex);
        }
    }
    return Indexed;
}

TBitmap::TBitmap() : Canvas_(*this) {}

TBitmap::~TBitmap() = default;

std::unique_ptr<TGraphic> TBitmap::Create()
{
    return std::make_unique<TBitmap>();
}

void TBitmap::Assign(TPersistent* Source)
{
    if (Source == nullptr) {
        Install(QImage(), Format_);
        Width_ = Height_ = 0;
        Changed();
        return;
    }
    if (auto* Other = dynamic_cast<TBitmap*>(Source)) {
        if (Other != this) {
            Image_ = Other->Image_;
            Format_ = Other->Format_;
            Width_ = Other->Width_;
            Height_ = Other->Height_;
        }
        Changed();
        return;
    }
    TGraphic::Assign(Source);
}

void TBitmap::Install(QImage Image, TPixelFormat Format)
{
    Image_ = std::move(Image);
    Format_ = Format;
    Width_ = Image_.width();
    Height_ = Image_.height();
}

void TBitmap::SetPixelFormat(TPixelFormat Value)
{
    if (Value == Format_)
        return;
    Image_ = Image_.isNull() ? QImage() : ConvertStorage(Image_, Value);
    Format_ = Value;
    Changed();
}

void TBitmap::SetSize(int32_t NewWidth, int32_t NewHeight)
{
    NewWidth = std::max(NewWidth, 0);
    NewHeight = std::max(NewHeight, 0);
    if (NewWidth == Width_ && NewHeight == Height_)
        return;
    if (NewWidth == 0 || NewHeight == 0) {
        Image_ = QImage();
    } else {
        QImage Grown(NewWidth, NewHeight, Image_.isNull() ? StorageFor(Format_) : Image_.format());
        if (Grown.isNull())
            throw EOutOfMemory();
        QList<QRgb> Table = Image_.colorTable();
        if (Table.isEmpty() && Format_ == TPixelFormat::pf4bit)
            Table = StandardPalette16();
        else if (Table.isEmpty() && Format_ == TPixelFormat::pf1bit)
            Table = {qRgb(0, 0, 0), qRgb(255, 255, 255)};
        else if (Table.isEmpty() && Format_ == TPixelFormat::pf8bit)
            for (int I = 0; I < 256; ++I)
                Table.append(qRgb(I, I, I));
        if (IsIndexed(Grown)) {
            Grown.setColorTable(Table);
            Grown.fill(uint(NearestIndex(Table, qRgb(255, 255, 255))));
        } else {
            Grown.fill(Qt::white);
        }
        const int KeptWidth = std::min(Width_, NewWidth);
        const int KeptHeight = std::min(Height_, NewHeight);
        if (!Image_.isNull() && KeptWidth > 0 && KeptHeight > 0) {
            if (IsIndexed(Grown)) {
                for (int Y = 0; Y < KeptHeight; ++Y)
                    for (int X = 0; X < KeptWidth; ++X)
                        Grown.setPixel(X, Y, uint(Image_.pixelIndex(X, Y)));
            } else {
                QPainter Painter(&Grown);
                Painter.setCompositionMode(QPainter::CompositionMode_Source);
                Painter.drawImage(0, 0, Image_, 0, 0, KeptWidth, KeptHeight);
            }
        }
        Image_ = std::move(Grown);
    }
    Width_ = NewWidth;
    Height_ = NewHeight;
    Changed();
}

void TBitmap::Draw(TCanvas& Canvas, const TRect& Rect)
{
    if (Image_.isNull())
        return;
    const QImage Pixels = Image_;
    const uint32_t Mode = Canvas.CopyMode();
    Canvas.Paint([&](QPainter& Painter) {
        Painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        Painter.setCompositionMode(CompositionFor(Mode));
        Painter.drawImage(QRectF(ToQRect(Rect)), Pixels, QRectF(Pixels.rect()));
    });
}

void TBitmap::ReadData(TStream& Stream)
{
    uint8_t Length[4];
    Stream.ReadBuffer(Length, 4);
    const int64_t Size = bmp::GetU32(Length);
    if (Size > Stream.Size() - Stream.Position())
        throw EReadError();
    TMemoryStream File;
    File.SetSize(Size);
    Stream.ReadBuffer(File.Memory(), Size);
    LoadFromStream(File);
}

void TBitmap::WriteData(TStream& Stream)
{
    TMemoryStream File;
    SaveToStream(File);
    uint8_t Length[4];
    bmp::PutU32(Length, uint32_t(File.Size()));
    Stream.WriteBuffer(Length, 4);
    Stream.WriteBuffer(File.Memory(), File.Size());
}

void TBitmap::LoadFromStream(TStream& Stream)
{
    TBmpPicture Picture = ReadBmpFile(Stream);
    Install(std::move(Picture.Image), Picture.Format);
    Changed();
}

void TBitmap::SaveToStream(TStream& Stream)
{
    WriteBmpFile(Stream, Image_, Format_);
}

void TBitmap::LoadFromClipboardFormat(uint16_t, HGLOBAL, HPALETTE)
{
    throw EInvalidGraphic("Unknown clipboard format");
}

void TBitmap::SaveToClipboardFormat(uint16_t&, HGLOBAL&, HPALETTE&)
{
    throw EInvalidGraphic("Unknown clipboard format");
}

void TBitmap::SetImage(const QImage& Image, TPixelFormat Format)
{
    Install(Image.isNull() ? QImage() : ConvertStorage(CompositedOverWhite(Image), Format), Format);
    Changed();
}

QImage TBitmap::ToRgb32() const
{
    return Image_.convertToFormat(QImage::Format_RGB32);
}

void TBitmap::PaintPixels(const std::function<void(QPainter&)>& Painting)
{
    if (Image_.isNull())
        return;
    if (!IsIndexed(Image_)) {
        QPainter Painter(&Image_);
        Painting(Painter);
    } else {
        QImage Work = Image_.convertToFormat(QImage::Format_RGB32);
        {
            QPainter Painter(&Work);
            Painting(Painter);
        }
        Image_ = MapBack(Work, Image_);
    }
    Changed();
}

} // namespace nebulo
