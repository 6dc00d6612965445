#pragma once

// The BMP file's layout, the one place its fields are named: a file header,
// an info header of one of several kinds (its first field says which), masks
// for some deep pictures, the colour table, then the rows, each padded to a
// whole number of 32-bit words. Offsets count bytes from the start of the
// header they belong to; every value is little-endian. A packed DIB is the
// same file without its file header.

#include <cstdint>

namespace nebulo::bmp {

// The file header.
constexpr int FileHeaderSize = 14;
constexpr int bfType = 0;      // uint16: Signature
constexpr int bfSize = 2;      // uint32: bytes in the whole file
constexpr int bfReserved1 = 6; // uint16
constexpr int bfReserved2 = 8; // uint16
constexpr int bfOffBits = 10;  // uint32: where the rows start, from the file's start
constexpr uint16_t Signature = 0x4D42; // "BM"

// The core header: 16-bit sizes, and a colour table of 3-byte entries.
constexpr int CoreHeaderSize = 12;
constexpr int bcSize = 0;      // uint32: CoreHeaderSize
constexpr int bcWidth = 4;     // uint16
constexpr int bcHeight = 6;    // uint16
constexpr int bcPlanes = 8;    // uint16
constexpr int bcBitCount = 10; // uint16

// The info header; the V4 and V5 headers begin with its 40 bytes.
constexpr int InfoHeaderSize = 40;
constexpr int V4HeaderSize = 108;
constexpr int V5HeaderSize = 124;
constexpr int biSize = 0;           // uint32: which header this is, by its length
constexpr int biWidth = 4;          // int32
constexpr int biHeight = 8;         // int32: positive for rows stored bottom-up
constexpr int biPlanes = 12;        // uint16
constexpr int biBitCount = 14;      // uint16
constexpr int biCompression = 16;   // uint32: one of the BI_ values
constexpr int biSizeImage = 20;     // uint32: bytes of the rows
constexpr int biXPelsPerMeter = 24; // int32
constexpr int biYPelsPerMeter = 28; // int32
constexpr int biClrUsed = 32;       // uint32: colour table entries; 0 for all the depth addresses
constexpr int biClrImportant = 36;  // uint32

// The masks of BI_BITFIELDS (red, green, blue) and BI_ALPHABITFIELDS (alpha
// too): inside a V4 or V5 header, or right after a 40-byte one at the same
// offsets. 32-bit each.
constexpr int bV4RedMask = 40;
constexpr int bV4GreenMask = 44;
constexpr int bV4BlueMask = 48;
constexpr int bV4AlphaMask = 52;

constexpr uint32_t BI_RGB = 0;
constexpr uint32_t BI_RLE8 = 1;
constexpr uint32_t BI_RLE4 = 2;
constexpr uint32_t BI_BITFIELDS = 3;
constexpr uint32_t BI_ALPHABITFIELDS = 6;

// Colour table entries: blue, green, red, then a zero byte; a core header's
// table has no fourth byte.
constexpr int QuadSize = 4;
constexpr int TripleSize = 3;

// Run-length encoded rows: a count and a value, or a zero count and one of
// these escapes.
constexpr uint8_t RleEndOfLine = 0;
constexpr uint8_t RleEndOfPicture = 1;
constexpr uint8_t RleDelta = 2;

inline uint16_t GetU16(const uint8_t* P) { return uint16_t(P[0] | (P[1] << 8)); }
inline uint32_t GetU32(const uint8_t* P)
{
    return uint32_t(P[0]) | (uint32_t(P[1]) << 8) | (uint32_t(P[2]) << 16) | (uint32_t(P[3]) << 24);
}
inline int32_t GetI32(const uint8_t* P) { return static_cast<int32_t>(GetU32(P)); }
inline void PutU16(uint8_t* P, uint16_t V)
{
    P[0] = uint8_t(V);
    P[1] = uint8_t(V >> 8);
}
inline void PutU32(uint8_t* P, uint32_t V)
{
    for (int I = 0; I < 4; ++I)
        P[I] = uint8_t(V >> (8 * I));
}

// Whether Size bytes at Data begin as a BMP file does.
inline bool StartsWithSignature(const uint8_t* Data, int64_t Size)
{
    return Size >= 2 && GetU16(Data + bfType) == Signature;
}

// Bytes of one stored row of Width pixels of BitCount bits: the pixels'
// bits, padded to a multiple of 4 bytes.
inline int64_t RowBytes(int64_t Width, int BitCount)
{
    return (Width * BitCount + 31) / 32 * 4;
}

// The 14 bytes of a file header at Head.
inline void PutFileHeader(uint8_t* Head, uint32_t FileSize, uint32_t PixelOffset)
{
    PutU16(Head + bfType, Signature);
    PutU32(Head + bfSize, FileSize);
    PutU16(Head + bfReserved1, 0);
    PutU16(Head + bfReserved2, 0);
    PutU32(Head + bfOffBits, PixelOffset);
}

// The fields of an info header that writers set.
struct TInfoFields {
    uint32_t Size = InfoHeaderSize;
    int32_t Width = 0;
    int32_t Height = 0;
    uint16_t Planes = 1;
    uint16_t BitCount = 0;
    uint32_t Compression = BI_RGB;
    uint32_t SizeImage = 0;
    uint32_t ClrUsed = 0;
    uint32_t ClrImportant = 0;
};

// The first 40 bytes of an info header at Info; the resolutions are 0.
inline void PutInfoHeader(uint8_t* Info, const TInfoFields& Fields)
{
    PutU32(Info + biSize, Fields.Size);
    PutU32(Info + biWidth, uint32_t(Fields.Width));
    PutU32(Info + biHeight, uint32_t(Fields.Height));
    PutU16(Info + biPlanes, Fields.Planes);
    PutU16(Info + biBitCount, Fields.BitCount);
    PutU32(Info + biCompression, Fields.Compression);
    PutU32(Info + biSizeImage, Fields.SizeImage);
    PutU32(Info + biXPelsPerMeter, 0);
    PutU32(Info + biYPelsPerMeter, 0);
    PutU32(Info + biClrUsed, Fields.ClrUsed);
    PutU32(Info + biClrImportant, Fields.ClrImportant);
}

} // namespace nebulo::bmp
