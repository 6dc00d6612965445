#include "tests/support/PngWriter.h"

#include <png.h>

#include <csetjmp>
#include <vector>

namespace nebulo::test {

namespace {

void Append(png_structp Png, png_bytep Data, size_t Size)
{
    static_cast<QByteArray*>(png_get_io_ptr(Png))->append(reinterpret_cast<const char*>(Data), qsizetype(Size));
}

// A palette index beyond a short palette is written on purpose.
void Unheard(png_structp, png_const_charp) {}

int Channels(int Colour)
{
    switch (Colour) {
    case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
    case PNG_COLOR_TYPE_RGB: return 3;
    case PNG_COLOR_TYPE_RGBA: return 4;
    default: return 1;
    }
}

unsigned Sweep(int X, int Y, int C, unsigned Count)
{
    return unsigned(X * 2731 + Y * 977 + C * 4099) % Count;
}

// Sample C of pixel (X, Y); an alpha sample cycles through transparent,
// partly transparent (of every amount) and opaque.
unsigned Sample(const TPngKind& Kind, int X, int Y, int C)
{
    const unsigned Top = (1u << Kind.Depth) - 1;
    if ((Kind.Colour & PNG_COLOR_MASK_ALPHA) != 0 && C == Channels(Kind.Colour) - 1)
        return (X + Y) % 3 == 0 ? 0 : (X + Y) % 3 == 1 ? Sweep(X, Y, C, Top + 1) : Top;
    return Sweep(X, Y, C, Top + 1);
}

std::vector<png_byte> Row(const TPngKind& Kind, int Y)
{
    const int Samples = Kind.Width * Channels(Kind.Colour);
    std::vector<png_byte> Bytes(size_t((Samples * Kind.Depth + 7) / 8));
    for (int S = 0; S < Samples; ++S) {
        const unsigned Value = Sample(Kind, S / Channels(Kind.Colour), Y, S % Channels(Kind.Colour));
        if (Kind.Depth == 16) {
            Bytes[size_t(S) * 2] = png_byte(Value >> 8);
            Bytes[size_t(S) * 2 + 1] = png_byte(Value);
        } else if (Kind.Depth == 8) {
            Bytes[size_t(S)] = png_byte(Value);
        } else {
            const int Bit = S * Kind.Depth;
            Bytes[size_t(Bit / 8)] |= png_byte(Value << (8 - Kind.Depth - Bit % 8));
        }
    }
    return Bytes;
}

// Only trivially destroyed things live between setjmp and libpng's calls.
bool Write(png_structp Png, png_infop Info, const TPngKind& Kind, std::vector<png_bytep>& Rows, png_colorp Palette,
           png_bytep Alphas, png_color_16p Key)
{
    if (setjmp(png_jmpbuf(Png)))
        return false;
    // Indices beyond a short palette are written all the same.
    png_set_benign_errors(Png, 1);
    png_set_IHDR(Png, Info, png_uint_32(Kind.Width), png_uint_32(Kind.Height), Kind.Depth, Kind.Colour,
                 Kind.Interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (Kind.Colour == PNG_COLOR_TYPE_PALETTE) {
        const int Count = Kind.PaletteSize > 0 ? Kind.PaletteSize : 1 << Kind.Depth;
        png_set_PLTE(Png, Info, Palette, Count);
        if (Kind.Transparency)
            png_set_tRNS(Png, Info, Alphas, Count, nullptr);
    } else if (Kind.Transparency) {
        png_set_tRNS(Png, Info, nullptr, 0, Key);
    }
    png_write_info(Png, Info);
    png_write_image(Png, Rows.data());
    png_write_end(Png, Info);
    return true;
}

} // namespace

bool HasTransparentColour(const TPngKind& Kind, int X, int Y)
{
    for (int C = 0; C < Channels(Kind.Colour); ++C)
        if (Sample(Kind, X, Y, C) != Sample(Kind, 0, 0, C))
            return false;
    return true;
}

QByteArray WritePng(const TPngKind& Kind)
{
    std::vector<std::vector<png_byte>> Stored;
    std::vector<png_bytep> Rows;
    for (int Y = 0; Y < Kind.Height; ++Y)
        Stored.push_back(Row(Kind, Y));
    for (auto& R : Stored)
        Rows.push_back(R.data());
    png_color Palette[256];
    png_byte Alphas[256];
    for (int I = 0; I < 256; ++I) {
        Palette[I] = {png_byte(I * 37), png_byte(255 - I * 11), png_byte(I * 5 + 60)};
        Alphas[I] = png_byte(I % 3 == 0 ? 0 : I % 3 == 1 ? 128 : 255);
    }
    // The colour of the first pixel is the transparent one.
    png_color_16 Key{};
    const int C = Kind.Colour == PNG_COLOR_TYPE_RGB ? 1 : 0;
    Key.gray = png_uint_16(Sample(Kind, 0, 0, 0));
    Key.red = png_uint_16(Sample(Kind, 0, 0, 0));
    Key.green = png_uint_16(Sample(Kind, 0, 0, C));
    Key.blue = png_uint_16(Sample(Kind, 0, 0, 2 * C));

    QByteArray Out;
    png_structp Png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, Unheard);
    png_infop Info = png_create_info_struct(Png);
    png_set_write_fn(Png, &Out, Append, nullptr);
    const bool Written = Write(Png, Info, Kind, Rows, Palette, Alphas, &Key);
    png_destroy_write_struct(&Png, &Info);
    return Written ? Out : QByteArray();
}

} // namespace nebulo::test
