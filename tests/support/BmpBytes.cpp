#include "tests/support/BmpBytes.h"

#include "toolkit/core/BmpFile.h"

#include <algorithm>

namespace nebulo::test {

TBytes MakeBmpFile(const TBmpPlan& Plan)
{
    const uint32_t TableBytes = uint32_t(Plan.Palette.size()) * 4;
    const uint32_t MaskBytes = uint32_t(Plan.Masks.size()) * 4;
    const uint32_t TableOffset = 14 + std::max(Plan.HeaderSize, 40 + MaskBytes);
    const uint32_t Offset = TableOffset + TableBytes;
    TBytes File(Offset, 0);
    bmp::PutU16(File.data(), bmp::Signature);
    bmp::PutU32(File.data() + 2, uint32_t(Offset + Plan.Rows.size()));
    bmp::PutU32(File.data() + 10, Offset);
    bmp::PutU32(File.data() + 14, Plan.HeaderSize);
    bmp::PutU32(File.data() + 18, uint32_t(Plan.Width));
    bmp::PutU32(File.data() + 22, uint32_t(Plan.Height));
    bmp::PutU16(File.data() + 26, 1);
    bmp::PutU16(File.data() + 28, Plan.BitCount);
    bmp::PutU32(File.data() + 30, Plan.Compression);
    bmp::PutU32(File.data() + 34, uint32_t(Plan.Rows.size()));
    bmp::PutU32(File.data() + 46, uint32_t(Plan.Palette.size()));
    for (size_t I = 0; I < Plan.Masks.size(); ++I)
        bmp::PutU32(File.data() + 54 + 4 * I, Plan.Masks[I]);
    for (size_t I = 0; I < Plan.Palette.size(); ++I)
        bmp::PutU32(File.data() + TableOffset + 4 * I, Plan.Palette[I]);
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
    auto Stream = std::make_unique<TMemoryStream>();
    Stream->WriteBuffer(Bytes.data(), int64_t(Bytes.size()));
    Stream->Seek(0, soBeginning);
    return Stream;
}

TBytes BytesOf(TMemoryStream& Stream)
{
    return TBytes(Stream.Memory(), Stream.Memory() + Stream.Size());
}

} // namespace nebulo::test
