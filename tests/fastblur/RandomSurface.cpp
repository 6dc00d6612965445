#include "tests/fastblur/RandomSurface.h"

#include "dib/SDIB.h"

#include <sstream>

namespace nebulo::test {

TBytes RandomBmpFile(int32_t Width, int32_t Height, std::mt19937& Random)
{
    TBmpPlan Plan{Width, Height, 24};
    // 24-bit files may carry a table before the rows; the rows then start later.
    Plan.Palette.resize(Random() % 3);
    for (uint32_t& Entry : Plan.Palette)
        Entry = Random();
    const int32_t Stride = (Width * 24 + 31) / 32 * 4;
    Plan.Rows.resize(size_t(Stride) * size_t(Height));
    for (uint8_t& Byte : Plan.Rows)
        Byte = uint8_t(Random());
    Plan.Trailing.resize(Random() % 5);
    for (uint8_t& Byte : Plan.Trailing)
        Byte = uint8_t(Random());
    return MakeBmpFile(Plan);
}

std::unique_ptr<TSDIB> SurfaceOf(const TBytes& File)
{
    auto Surface = std::make_unique<TSDIB>();
    auto Stream = StreamOf(File);
    Surface->LoadFromStream(*Stream);
    return Surface;
}

std::string DescribeOffset(TSDIB& Surface, int64_t Offset)
{
    std::ostringstream Text;
    Text << "byte " << Offset;
    const int64_t InRows = Offset - Surface.PixelOffset();
    const int64_t Stride = Surface.RowStride();
    if (InRows < 0 || Stride <= 0 || InRows >= Stride * Surface.Height())
        return Text.str() + " (outside the rows)";
    const int64_t Row = Surface.Height() - 1 - InRows / Stride;
    const int64_t InRow = InRows % Stride;
    if (InRow >= 3 * int64_t(Surface.Width()))
        Text << " (padding of row " << Row << " from the top)";
    else
        Text << " (row " << Row << " from the top, pixel " << InRow / 3 << ", channel " << InRow % 3 << ")";
    return Text.str();
}

std::string FirstDifference(TSDIB& Expected, TSDIB& Actual)
{
    TMemoryStream& A = Expected.DIBFile();
    TMemoryStream& B = Actual.DIBFile();
    if (A.Size() != B.Size())
        return "sizes differ: " + std::to_string(A.Size()) + " and " + std::to_string(B.Size());
    for (int64_t I = 0; I < A.Size(); ++I)
        if (A.Memory()[I] != B.Memory()[I])
            return DescribeOffset(Expected, I) + ": reference " + std::to_string(A.Memory()[I]) + ", fast "
                + std::to_string(B.Memory()[I]);
    return {};
}

} // namespace nebulo::test
