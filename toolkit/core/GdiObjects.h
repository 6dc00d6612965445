#pragma once

#include "toolkit/core/Types.h"

#include <QImage>

#include <cstdint>
#include <memory>
#include <vector>

namespace nebulo {

class TDeviceContext;
using HDC = TDeviceContext*;

// Drawing objects of the platform shim: palettes and bitmaps compatible with
// a device context. They live in one table until DeleteObject; a handle that
// is not in the table (stale, or a stock object) is refused.
struct TGdiObject {
    virtual ~TGdiObject() = default;
    // Device contexts holding the object selected; such an object is not deleted.
    int SelectedIn = 0;
};
using HGDIOBJ = TGdiObject*;

struct PALETTEENTRY {
    uint8_t peRed = 0;
    uint8_t peGreen = 0;
    uint8_t peBlue = 0;
    uint8_t peFlags = 0;
};

struct LOGPALETTE {
    uint16_t palVersion = 0x300;
    uint16_t palNumEntries = 0;
    std::vector<PALETTEENTRY> palPalEntry;
};

struct TLogPaletteObject : TGdiObject {
    std::vector<PALETTEENTRY> Entries;
};

struct TDeviceBitmap : TGdiObject {
    QImage Pixels; // RGB32
};
using HBITMAP = TDeviceBitmap*;

// None when palNumEntries does not match the entries given.
HPALETTE CreatePalette(const LOGPALETTE& Palette);
// A white bitmap of Width x Height at 32 bits; none for a negative or
// unobtainable size.
HBITMAP CreateCompatibleBitmap(HDC DC, int32_t Width, int32_t Height);
// False for an unknown handle or an object still selected somewhere.
bool DeleteObject(HGDIOBJ Object);

struct TDeleteObject {
    void operator()(TGdiObject* Object) const { DeleteObject(Object); }
};
// Owns a drawing object until the end of a scope.
using TPaletteHandle = std::unique_ptr<TLogPaletteObject, TDeleteObject>;

// Hands a new object to the table and returns its handle.
HGDIOBJ AddGdiObject(std::unique_ptr<TGdiObject> Object);
// The object behind a handle that is in the table, else none.
TGdiObject* FindGdiObject(HGDIOBJ Object);

} // namespace nebulo
