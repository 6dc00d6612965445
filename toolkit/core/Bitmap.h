#pragma once

#include "toolkit/core/Canvas.h"
#include "toolkit/core/Graphic.h"
#include "toolkit/core/PixelFormat.h"

#include <QImage>

#include <functional>
#include <memory>

namespace nebulo {

// The toolkit's bitmap: pixels at a declared depth (1, 4 and 8 bits with a
// palette; 16, 24 or 32 bits), saved and loaded as BMP files by our own codec.
class TBitmap : public TGraphic {
public:
    TBitmap();
    ~TBitmap() override;

    static std::unique_ptr<TGraphic> Create();
    const char* ClassName() const override { return "TBitmap"; }

    // Takes a copy of another bitmap; none empties this one.
    void Assign(TPersistent* Source) override;

    TCanvas& Canvas() { return Canvas_; }
    TPixelFormat PixelFormat() const { return Format_; }
    // Converts the pixels to the new depth (to the nearest palette entry for
    // 1, 4 and 8 bits, with the standard palettes).
    void SetPixelFormat(TPixelFormat Value);
    // Both dimensions at once; the kept top-left part stays, new pixels are white.
    void SetSize(int32_t NewWidth, int32_t NewHeight);

    void Draw(TCanvas& Canvas, const TRect& Rect) override;
    bool GetEmpty() const override { return Width_ == 0 || Height_ == 0; }
    int32_t GetHeight() const override { return Height_; }
    int32_t GetWidth() const override { return Width_; }
    void SetHeight(int32_t Value) override { SetSize(Width_, Value); }
    void SetWidth(int32_t Value) override { SetSize(Value, Height_); }
    // The streamed form: a 4-byte little-endian length, then the BMP file.
    void ReadData(TStream& Stream) override;
    void WriteData(TStream& Stream) override;
    // Takes everything from the stream's position to its end as a BMP file.
    void LoadFromStream(TStream& Stream) override;
    void SaveToStream(TStream& Stream) override;
    void LoadFromClipboardFormat(uint16_t Format, HGLOBAL Data, HPALETTE Palette) override;
    void SaveToClipboardFormat(uint16_t& Format, HGLOBAL& Data, HPALETTE& Palette) override;

    // The pixels as stored (null when empty): Mono, Indexed8, BGR888, RGB32 ...
    const QImage& Image() const { return Image_; }
    // Replaces the pixels; alpha is composited over white and the depth
    // becomes Format.
    void SetImage(const QImage& Image, TPixelFormat Format = TPixelFormat::pf32bit);
    // The pixels as opaque 32-bit colours, for display and export.
    QImage ToRgb32() const;

    // Runs a painter on the pixels; palette pictures are painted at 32 bits
    // and mapped back to their nearest palette entries.
    void PaintPixels(const std::function<void(QPainter&)>& Painting);

private:
    void Install(QImage Image, TPixelFormat Format);

    QImage Image_;
    TPixelFormat Format_ = TPixelFormat::pf32bit;
    int32_t Width_ = 0;
    int32_t Height_ = 0;
    TCanvas Canvas_;
};

// The standard 16-colour palette: black, maroon, green, olive, navy, purple,
// teal, grey, silver, red, lime, yellow, blue, fuchsia, aqua, white.
const QList<QRgb>& StandardPalette16();

// The picture as opaque 32-bit colours, its transparent pixels put over white;
// a picture without alpha as it is.
QImage CompositedOverWhite(const QImage& Image);

// Each pixel of an RGB image mapped to the nearest entry of Table, as Indexed8.
QImage MapToPalette(const QImage& Rgb, const QList<QRgb>& Table);

} // namespace nebulo
