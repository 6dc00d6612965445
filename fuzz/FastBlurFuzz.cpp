// The fast blur against the reference on pictures built from the input: the
// position, the instruction set, the thread count, where the rows start, how
// much of the last row the file holds and the width come from its first bytes;
// the pixels are the rest of the input, so a longer input is a taller picture.
// Now and then a wide or tall picture repeats the input over its rows. Any
// difference in the held file aborts.
#include "blur/Blur.h"
#include "blur/FastBlur.h"
#include "dib/SDIB.h"
#include "toolkit/core/BmpFile.h"
#include "toolkit/core/Exceptions.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

using namespace nebulo;

std::vector<uint8_t> BuildFile(const uint8_t* Data, size_t Size, int32_t Width, int32_t Height, int Gap, int Cut)
{
    const int64_t Stride = bmp::RowBytes(Width, 24);
    constexpr size_t Headers = bmp::FileHeaderSize + bmp::InfoHeaderSize;
    const int64_t Offset = Headers + Gap;
    std::vector<uint8_t> File(size_t(Offset + Stride * Height), 0);
    bmp::PutFileHeader(File.data(), uint32_t(File.size()), uint32_t(Offset));
    bmp::PutInfoHeader(File.data() + bmp::FileHeaderSize, {.Width = Width, .Height = Height, .BitCount = 24});
    // Pixels, padding and gap all come from the input, repeated as needed.
    for (size_t I = Headers; I < File.size(); ++I)
        File[I] = Size > 0 ? uint8_t(Data[(I - Headers) % Size] + (I - Headers) / Size) : uint8_t(I);
    File.resize(File.size() - size_t(Cut));
    return File;
}

void Load(TSDIB& Surface, const std::vector<uint8_t>& File)
{
    TMemoryStream Stream(File.data(), int64_t(File.size()));
    Surface.LoadFromStream(Stream);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    constexpr size_t Settings = 6;
    if (Size < Settings)
        return 0;
    const int Position = 1 + Data[0] % 200;
    const bool Large = (Data[5] & 0xC0) == 0xC0 && Data[4] < 64;
    const int32_t Width = 1 + (Large ? (Data[1] | (Data[5] & 1) << 8) : Data[1] % 80);
    const int64_t PixelBytes = int64_t(Size - Settings);
    const int32_t Height = Large ? 1 + (Data[2] | (Data[5] & 2) << 7)
                                 : int32_t(std::clamp<int64_t>(PixelBytes / (3 * int64_t(Width)), 1, 80));
    const TBlurIsa Isa = TBlurIsa(Data[3] % 4);
    const int Threads = 1 + (Data[3] >> 2) % 2;
    const int Gap = Data[4] % 16;
    const int Cut = (Data[5] & 0x30) == 0x30 ? 1 + Data[4] % 4 : 0;
    const std::vector<uint8_t> File = BuildFile(Data + Settings, Size - Settings, Width, Height, Gap, Cut);

    TSDIB Reference;
    TSDIB Fast;
    Load(Reference, File);
    Load(Fast, File);
    bool ReferenceFailed = false;
    try {
        BlurSurfaceReference(Reference, Position * 0.1);
    } catch (const Exception&) {
        ReferenceFailed = true;
    }
    BuildKernel(Position * 0.1);
    const bool Taken = FastBlurPasses(Fast, {Isa, Threads});
    // A cut within the top row's padding leaves every pixel byte in the file.
    const bool HoldsEveryRow = Cut <= bmp::RowBytes(Width, 24) - 3 * Width;
    if (ReferenceFailed == HoldsEveryRow || Taken != (HoldsEveryRow && IsaSupported(Isa)))
        std::abort();
    if (Taken && std::memcmp(Reference.DIBFile().Memory(), Fast.DIBFile().Memory(), File.size()) != 0)
        std::abort();
    if (!Taken && std::memcmp(Fast.DIBFile().Memory(), File.data(), File.size()) != 0)
        std::abort();
    return 0;
}
