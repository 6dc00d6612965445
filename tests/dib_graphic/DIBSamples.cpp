#include "tests/dib_graphic/DIBSamples.h"

#include "toolkit/core/Bitmap.h"

#include <random>
#include <sstream>

namespace nebulo::test {

TBmpPlan RandomSpec(int32_t Width, int32_t Height, uint16_t BitCount, uint32_t Seed)
{
    std::mt19937 Random(Seed);
    TBmpPlan Plan{Width, Height, BitCount};
    Plan.Rows.resize(size_t(DIBRowBytes(Width * BitCount)) * size_t(Height));
    for (auto& Byte : Plan.Rows)
        Byte = uint8_t(Random());
    for (int32_t I = 0; I < DIBColorCount(BitCount); ++I)
        Plan.Palette.push_back(Random() & 0xFFFFFF);
    return Plan;
}

void LoadFile(TDIB& Graphic, const TBytes& File)
{
    Graphic.LoadFromStream(*StreamOf(File));
}

TBytes SavedFile(TDIB& Graphic)
{
    TMemoryStream Stream;
    Graphic.SaveToStream(Stream);
    return BytesOf(Stream);
}

TBytes HeldDIB(const TDIB& Graphic)
{
    const TDIBImage& Image = Graphic.Image();
    return Image.Stream ? BytesOf(*Image.Stream) : TBytes();
}

TGlobalMemory ClipboardBlockOf(TDIB& Graphic)
{
    uint16_t Format = 0;
    HGLOBAL Block = nullptr;
    HPALETTE Palette = nullptr;
    Graphic.SaveToClipboardFormat(Format, Block, Palette);
    return TGlobalMemory(Block);
}

QImage PixelsOf(TDIB& Graphic)
{
    TBitmap Bitmap;
    Bitmap.Assign(&Graphic);
    return Bitmap.ToRgb32();
}

std::string FirstDifference(const TBytes& Expected, const TBytes& Actual)
{
    std::ostringstream Out;
    for (size_t I = 0; I < std::min(Expected.size(), Actual.size()); ++I)
        if (Expected[I] != Actual[I]) {
            Out << "byte " << I << ": expected " << int(Expected[I]) << ", got " << int(Actual[I]);
            return Out.str();
        }
    if (Expected.size() != Actual.size())
        Out << "length: expected " << Expected.size() << ", got " << Actual.size();
    return Out.str();
}

} // namespace nebulo::test
