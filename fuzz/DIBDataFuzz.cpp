// Hostile streamed "Data" properties: the graphic refuses them or reads a DIB
// whose streamed form it writes back, read again, to an equal graphic. An odd
// first byte hands the rest of the input over as it is; an even one has it
// describe a picture whose streamed form is built here, with a length prefix,
// file header and info header that mostly hold together, so that most inputs
// get past the headers to the colour table and the rows.
#include "dib/CDIBs.h"
#include "fuzz/RoundTrip.h"
#include "toolkit/core/BmpLayout.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

using namespace nebulo;

constexpr size_t DescriptionBytes = 7;

// Description: header kind, depth, width, height, compression and direction,
// colours used, how far the length prefix is off; then table and rows.
std::vector<uint8_t> DescribedData(const uint8_t* Data, size_t Size)
{
    constexpr std::array<uint16_t, 6> Depths = {1, 4, 8, 16, 24, 32};
    const bool Core = Data[0] % 4 == 0;
    const uint32_t HeaderSize = Core ? bmp::CoreHeaderSize : Data[0] % 4 == 1 ? bmp::InfoHeaderSize : Data[0];
    const uint16_t Depth = Data[1] < 240 ? Depths[Data[1] % Depths.size()] : Data[1];
    const int32_t Width = Data[2] % 70;
    const int32_t Height = (Data[4] & 1 ? -1 : 1) * (Data[3] % 70);
    const uint32_t Compression = Data[4] < 224 ? bmp::BI_RGB : uint32_t(Data[4] & 7);
    const uint32_t ColorsUsed = Data[5] < 192 ? 0 : uint32_t(Data[5] - 192) * 5;
    const int LengthError = Data[6] < 224 ? 0 : int(Data[6] % 9) - 4;

    std::vector<uint8_t> Header(std::max<uint32_t>(HeaderSize, 4), 0);
    bmp::PutU32(Header.data() + bmp::biSize, HeaderSize);
    if (Core && Header.size() >= bmp::CoreHeaderSize) {
        bmp::PutU16(Header.data() + bmp::bcWidth, uint16_t(Width));
        bmp::PutU16(Header.data() + bmp::bcHeight, uint16_t(Height));
        bmp::PutU16(Header.data() + bmp::bcPlanes, 1);
        bmp::PutU16(Header.data() + bmp::bcBitCount, Depth);
    } else if (Header.size() >= bmp::InfoHeaderSize) {
        bmp::PutInfoHeader(Header.data(), {.Size = HeaderSize,
                                           .Width = Width,
                                           .Height = Height,
                                           .BitCount = Depth,
                                           .Compression = Compression,
                                           .ClrUsed = ColorsUsed});
    }
    const size_t Rest = Size - DescriptionBytes;
    const size_t FileSize = bmp::FileHeaderSize + Header.size() + Rest;
    std::vector<uint8_t> Stream(4 + FileSize, 0);
    bmp::PutU32(Stream.data(), uint32_t(int64_t(FileSize) + LengthError));
    uint8_t* File = Stream.data() + 4;
    bmp::PutFileHeader(File, uint32_t(FileSize), 0);
    std::copy(Header.begin(), Header.end(), File + bmp::FileHeaderSize);
    std::copy(Data + DescriptionBytes, Data + Size, File + bmp::FileHeaderSize + Header.size());
    return Stream;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    if (Size == 0)
        return 0;
    const bool Raw = Data[0] & 1 || Size < 1 + DescriptionBytes;
    const std::vector<uint8_t> Bytes = Raw ? std::vector<uint8_t>(Data + 1, Data + Size)
                                           : DescribedData(Data + 1, Size - 1);
    TMemoryStream Source(Bytes.data(), int64_t(Bytes.size()));
    TDIB Picture;
    if (fuzz::Refuses([&] { Picture.ReadData(Source); }))
        return 0;
    TDIB Again;
    fuzz::ReadBack(Picture, &TDIB::WriteData, &TDIB::ReadData, Again);
    if (!Again.Equals(&Picture))
        std::abort();
    return 0;
}
