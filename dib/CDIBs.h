#pragma once

#include "toolkit/core/BmpLayout.h"
#include "toolkit/core/GdiObjects.h"
#include "toolkit/core/Graphic.h"
#include "toolkit/core/Stream.h"

#include <cstdint>
#include <memory>

namespace nebulo {

class TBitmap;
class TClipboard;

// Entries of a DIB's colour table when its header leaves the count open:
// 2, 16 and 256 for 1, 4 and 8 bits, none for any other depth.
int32_t DIBColorCount(uint16_t BitCount);
// Bytes of one stored row of Bits bits, padded to a multiple of 4.
int32_t DIBRowBytes(int32_t Bits);
// Copies the run of Bits bits that starts Shift (0..7) bits into Source's
// first byte (bit 7 being the leftmost pixel) to the start of Dest. Reads no
// source byte past the run and writes ceil(Bits / 8) bytes.
void CopyBitRow(const uint8_t* Source, uint8_t* Dest, int Shift, int32_t Bits);

// Reads a block that somebody else holds, without copying it. An owned block
// is a global memory block, unlocked and freed on destruction; a borrowed one
// is left as it was. Never writes to the block, grows or frees it otherwise.
class TBufferStream : public TMemoryStream {
public:
    TBufferStream(void* Memory, int64_t Size, bool OwnsMemory);
    ~TBufferStream() override;

    bool OwnsMemory() const { return OwnsMemory_; }
    // Refused: writes nothing and returns 0.
    int64_t Write(const void* Buffer, int64_t Count) override;
    // Refused with a stream error.
    void SetSize(int64_t NewSize) override;

private:
    bool OwnsMemory_;
};

// One device-independent bitmap, shared by the TDIB objects that hold it and
// never changed once installed: a 40-byte info header whose biClrUsed counts
// the colour-table entries that follow, then the rows bottom-up. An empty
// record has no stream and zero sizes.
struct TDIBImage {
    std::unique_ptr<TMemoryStream> Stream;
    int32_t Width = 0;
    int32_t Height = 0;
    const uint8_t* Info = nullptr;
    const uint8_t* Bits = nullptr;
};

// Presents a held DIB as a BMP file: a made-up 14-byte file header followed
// by the DIB, read in place. Reading moves the image stream only for the
// moment of the call and leaves it at position 0. The image must hold a DIB
// and outlive the stream.
class TFakeDIBFileStream : public TStream {
public:
    static constexpr int HeaderSize = bmp::FileHeaderSize;

    explicit TFakeDIBFileStream(const TDIBImage& Image);

    int64_t Read(void* Buffer, int64_t Count) override;
    // Writes nothing and returns 0.
    int64_t Write(const void* Buffer, int64_t Count) override;
    // Not clamped: a position outside the file makes the next Read return 0.
    int64_t Seek(int64_t Offset, int Origin) override;

private:
    uint8_t Header_[HeaderSize] = {};
    const TDIBImage& Image_;
    int64_t Size_;
    int64_t Position_ = 0;
};

// A graphic holding one DIB. Assignment between TDIB objects shares the
// record; every change installs a new one.
class TDIB : public TGraphic {
public:
    TDIB();
    ~TDIB() override;

    static std::unique_ptr<TGraphic> Create();
    const char* ClassName() const override { return "TDIB"; }

    // None, a TDIB, the clipboard (CF_DIB) or a toolkit bitmap; anything
    // else takes the base's road.
    void Assign(TPersistent* Source) override;
    // Draws the DIB stretched into Rect through a palette of its colour table.
    void Draw(TCanvas& Canvas, const TRect& Rect) override;
    bool GetEmpty() const override { return !Image_->Stream; }
    int32_t GetHeight() const override { return Image_->Height; }
    int32_t GetWidth() const override { return Image_->Width; }
    // A little-endian int32 length, then the BMP file; length 0 is empty.
    void ReadData(TStream& Stream) override;
    void WriteData(TStream& Stream) override;
    // Crop to the top rows or left columns; only smaller sizes are possible.
    void SetHeight(int32_t Value) override;
    void SetWidth(int32_t Value) override;
    // The BMP file form; an empty graphic writes nothing.
    void LoadFromStream(TStream& Stream) override;
    void SaveToStream(TStream& Stream) override;
    // CF_DIB: a packed DIB in a global memory block.
    void LoadFromClipboardFormat(uint16_t Format, HGLOBAL Data, HPALETTE Palette) override;
    void SaveToClipboardFormat(uint16_t& Format, HGLOBAL& Data, HPALETTE& Palette) override;
    // A palette of the colour table's entries (none at 16 bits and more).
    virtual TPaletteHandle CreateDIBPalette() const;

    const TDIBImage& Image() const { return *Image_; }
    // Gives Target a new record holding the rectangle of NewWidth x NewHeight
    // pixels whose top-left pixel is (X, Y); the rectangle must lie inside
    // the picture. Target keeps its record when this fails.
    void CopyRegion(int32_t X, int32_t Y, int32_t NewWidth, int32_t NewHeight, TDIB& Target) const;

protected:
    // Into a toolkit bitmap, as a BMP file read in place.
    void AssignTo(TPersistent* Dest) override;

private:
    // Installs a record over Stream, whose rows begin at BitsOffset; no
    // stream installs an empty record.
    void NewImage(int32_t Width, int32_t Height, std::unique_ptr<TMemoryStream> Stream, int64_t BitsOffset);
    void AssignClipboard(TClipboard& Clipboard);
    void AssignBitmap(const TBitmap& Bitmap);
    // Reads a packed DIB (12- or 40-byte header) at the stream's position.
    void LoadDIB(TStream& Stream);
    // Size 0 empties the graphic; otherwise reads a BMP file.
    void ReadBitmapFile(int64_t Size, TStream& Stream);
    void WriteBitmapFile(TStream& Stream, bool WithSize) const;
    // Fails with EInvalidGraphic when no DIB is held.
    void RequireDIB() const;

    std::shared_ptr<const TDIBImage> Image_;
};

// Registers TDIB with the picture system as the class for CF_DIB. Start-up
// calls it once, after every other module's initialisation.
void RegisterDIBGraphicClass();

} // namespace nebulo
