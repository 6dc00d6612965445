#pragma once

#include "toolkit/core/Component.h"
#include "toolkit/core/Stream.h"
#include "toolkit/core/Types.h"

#include <cstdint>
#include <memory>

namespace nebulo {

class TGraphic;

// A non-visual component holding one whole BMP file in memory and reading and
// writing its pixels in place by 1-based coordinates (column 1 at the left,
// row 1 at the top). Understands uncompressed 1-, 4-, 8- and 24-bit pictures.
//
// Pixel values: at 24 bits bytes 0..2 are the stored bytes (blue, green, red);
// at 1, 4 and 8 bits the palette index travels in byte 3.
class TSDIB : public TComponent {
    Q_OBJECT
public:
    explicit TSDIB(QObject* Owner = nullptr);
    ~TSDIB() override;

    const char* ClassName() const override { return "TSDIB"; }

    // The graphic writes itself as a BMP file over the held file from its
    // start (without shortening it); then the headers are parsed.
    void LoadFromGraphic(TGraphic& Graphic);
    // Writes every byte of the held file at Stream's position.
    void SaveToStream(TStream& Stream);
    // Replaces the held file by Stream's Size bytes, read from its position;
    // an empty Stream changes nothing.
    void LoadFromStream(TStream& Stream);
    // Takes Width, Height, BitCount, PixelOffset and RowStride from the held
    // file when it is an uncompressed "BM" file. Never clears Valid.
    void ParseHeader();

    uint32_t ReadPixel(TPoint Point);
    void WritePixel(TPoint Point, uint32_t Value);

    virtual void ReadData(TStream& Stream);
    virtual void WriteData(TStream& Stream);

    bool Valid() const { return Valid_; }
    int32_t Width() const { return Width_; }
    int32_t Height() const { return Height_; }
    int32_t BitCount() const { return BitCount_; }
    int32_t PixelOffset() const { return PixelOffset_; }
    int64_t RowStride() const { return RowStride_; }
    TMemoryStream& DIBFile() { return *DIBFile_; }
    // Replaces the held stream without parsing it.
    void SetDIBFile(std::unique_ptr<TMemoryStream> Value);

protected:
    // Declares "Data": the whole held file, always written.
    void DefineProperties(TFiler& Filer) override;

private:
    bool Addressable(TPoint Point) const;
    // Position of an addressable point's first byte in the held file; may lie
    // outside it when the headers promise more than the file holds.
    int64_t ByteOffset(TPoint Point, int& BitInByte) const;

    bool Valid_ = false;
    int32_t Width_ = 0;
    int32_t Height_ = 0;
    int32_t BitCount_ = 0;
    std::unique_ptr<TMemoryStream> DIBFile_;
    int32_t PixelOffset_ = 0;
    int64_t RowStride_ = 0;
};

} // namespace nebulo
