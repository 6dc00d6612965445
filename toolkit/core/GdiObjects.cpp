#include "toolkit/core/GdiObjects.h"

#include <map>
#include <new>

namespace nebulo {

namespace {

std::map<TGdiObject*, std::unique_ptr<TGdiObject>>& Objects()
{
    static std::map<TGdiObject*, std::unique_ptr<TGdiObject>> Table;
    return Table;
}

} // namespace

HGDIOBJ AddGdiObject(std::unique_ptr<TGdiObject> Object)
{
    TGdiObject* Handle = Object.get();
    Objects().emplace(Handle, std::move(Object));
    return Handle;
}

TGdiObject* FindGdiObject(HGDIOBJ Object)
{
    const auto Found = Objects().find(Object);
    return Found == Objects().end() ? nullptr : Found->second.get();
}

HPALETTE CreatePalette(const LOGPALETTE& Palette)
{
    if (Palette.palNumEntries != Palette.palPalEntry.size())
        return nullptr;
    auto Object = std::make_unique<TLogPaletteObject>();
    Object->Entries = Palette.palPalEntry;
    return static_cast<HPALETTE>(AddGdiObject(std::move(Object)));
}

HBITMAP CreateCompatibleBitmap(HDC, int32_t Width, int32_t Height)
{
    if (Width < 0 || Height < 0)
        return nullptr;
    auto Object = std::make_unique<TDeviceBitmap>();
    Object->Pixels = QImage(Width, Height, QImage::Format_RGB32);
    if (Width > 0 && Height > 0 && Object->Pixels.isNull())
        return nullptr;
    Object->Pixels.fill(Qt::white);
    return static_cast<HBITMAP>(AddGdiObject(std::move(Object)));
}

bool DeleteObject(HGDIOBJ Object)
{
    const TGdiObject* Found = FindGdiObject(Object);
    if (Found == nullptr || Found->SelectedIn > 0)
        return false;
    Objects().erase(Object);
    return true;
}

} // namespace nebulo
