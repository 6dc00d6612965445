#include "tests/support/BmpBytes.h"

#include "toolkit/core/BmpLayout.h"

#include <algorithm>

namespace nebulo::test {

TBytes MakeBmpFile(const TBmpPlan& Plan)
{
    const uint32_t TableBytes = uint32_t(Plan.Palette.size()) * bmp::QuadSize;
    const uint32_t MaskBytes = uint32_t(Plan.Masks.size()) * 4;
    const uint32_t TableOffset = bmp::FileHeaderSize + std::max<uint32_t>(Plan.HeaderSize, bmp::bV4RedMask + MaskBytes);
    const uint32_t Offset = TableOffset + TableBytes;
    TBytes File(Offset, 0);
    uint8_t* Info = File.data() + bmp::FileHeaderSize;
    bmp::PutFileHeader(File.data(), uint32_t(Offset + Plan.Rows.size()), Offset);
    bmp::PutInfoHeader(Info, {.Size = Plan.HeaderSize,
                              .Width = Plan.Width,
                              .Height = Plan.Height,
                              .BitCount = Plan.BitCount,
                              .Compression = Plan.Compression,
                              .SizeImage = uint32_t(Plan.Rows.size()),
                              .ClrUsed = uint32_t(Plan.Palette.size())});
    for (size_t I = 0; I < Plan.Masks.size(); ++I)
        bmp::PutU32(Info + bmp::bV4RedMask + 4 * I, Plan.Masks[I]);
    for (size_t I = 0; I < Plan.Palette.size(); ++I)
        bmp::PutU32(File.data() + TableOffset + bmp::QuadSize * I, Plan.Palette[I]);
    File.insert(File.end(), Plan.Rows.begin(), Plan.Rows.end());
    File.insert(File.end(), Plan.Trailing.begin(), Plan.Trailing.end());
    return File;
}

TBytes MakePackedDIB(const TBmpPlan& Plan)
{
    const TBytes File = MakeBmpFile(Plan);
    return TBytes(File.begin() + bmp::FileHeaderSize, File.end());
}

std::unique_ptr<TMemoryStream> StreamOf(const TBytes& Bytes)
{
    return std::make_unique<TMemoryStream>(Bytes.data(), int64_t(Bytes.size()));
}

TBytes BytesOf(TMemoryStream& Stream)
{
    return TBytes(Stream.Memory(), Stream.Memory() + Stream.Size());
}

} // namespace nebulo::test
