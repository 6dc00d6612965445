#pragma once

#include <cstdint>

namespace nebulo {

struct TPoint {
    int32_t X = 0;
    int32_t Y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

// Right and Bottom are exclusive.
struct TRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;
    int32_t Width() const { return Right - Left; }
    int32_t Height() const { return Bottom - Top; }
    friend bool operator==(const TRect&, const TRect&) = default;
};

// A colour as the platform stores it: red in the low byte, then green, then blue.
using TColor = uint32_t;
constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clOlive = 0x008080;

constexpr TColor RGB(uint8_t Red, uint8_t Green, uint8_t Blue)
{
    return TColor(Red) | (TColor(Green) << 8) | (TColor(Blue) << 16);
}

// Opaque handles of the platform shim (global memory blocks and palettes).
struct TGlobalBlock;
using HGLOBAL = TGlobalBlock*;
struct TLogPaletteObject;
using HPALETTE = TLogPaletteObject*;

} // namespace nebulo
