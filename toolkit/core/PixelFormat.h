#pragma once

namespace nebulo {

// The declared depth of a bitmap. A new bitmap takes the display's, 32 bits.
enum class TPixelFormat { pf1bit, pf4bit, pf8bit, pf16bit, pf24bit, pf32bit };

constexpr int BitCountOf(TPixelFormat Format)
{
    switch (Format) {
    case TPixelFormat::pf1bit: return 1;
    case TPixelFormat::pf4bit: return 4;
    case TPixelFormat::pf8bit: return 8;
    case TPixelFormat::pf16bit: return 16;
    case TPixelFormat::pf24bit: return 24;
    case TPixelFormat::pf32bit: return 32;
    }
    return 32;
}

constexpr bool HasPalette(TPixelFormat Format)
{
    return BitCountOf(Format) <= 8;
}

} // namespace nebulo
