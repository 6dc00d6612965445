#include "bench/PngDecoders.h"

#include "pictureio/PictureBytes.h"

#ifdef NEBULO_BENCH_SPNG
#include <spng.h>
#endif
#ifdef NEBULO_BENCH_LIBPNG
#include <png.h>
#endif
#ifdef NEBULO_BENCH_LODEPNG
#include <lodepng.h>
#endif
#ifdef NEBULO_BENCH_STB
#include <stb_image.h>
#endif

#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace nebulo {
namespace {

const auto* Bytes(const QByteArray& Png)
{
    return reinterpret_cast<const unsigned char*>(Png.constData());
}

QImage DecodeQt(const QByteArray& Png)
{
    return QImage::fromData(Png, "PNG");
}

// Nebulo's own road in: libpng's progressive reader where it takes the
// picture, Qt's reader where not.
QImage DecodeNebulo(const QByteArray& Png)
{
    return DecodePictureBytes(Png);
}

// A buffer the decoder allocated with malloc, taken over by the picture.
QImage Adopt(unsigned char* Pixels, int Width, int Height, void (*Release)(void*))
{
    if (Pixels == nullptr)
        return {};
    return QImage(Pixels, Width, Height, qsizetype(Width) * 4, QImage::Format_RGBA8888, Release, Pixels);
}

#ifdef NEBULO_BENCH_SPNG
QImage DecodeSpng(const QByteArray& Png)
{
    const std::unique_ptr<spng_ctx, decltype(&spng_ctx_free)> Context(spng_ctx_new(0), spng_ctx_free);
    spng_ihdr Header{};
    size_t Size = 0;
    if (!Context || spng_set_png_buffer(Context.get(), Png.constData(), size_t(Png.size())) != 0
        || spng_get_ihdr(Context.get(), &Header) != 0
        || spng_decoded_image_size(Context.get(), SPNG_FMT_RGBA8, &Size) != 0)
        return {};
    QImage Picture(int(Header.width), int(Header.height), QImage::Format_RGBA8888);
    if (Picture.isNull() || size_t(Picture.sizeInBytes()) != Size
        || spng_decode_image(Context.get(), Picture.bits(), Size, SPNG_FMT_RGBA8, SPNG_DECODE_TRNS) != 0)
        return {};
    return Picture;
}
#endif

#ifdef NEBULO_BENCH_LIBPNG
struct TMemoryRead {
    const QByteArray* Png;
    qsizetype At = 0;
};

void ReadFromMemory(png_structp Png, png_bytep Out, png_size_t Count)
{
    auto* Source = static_cast<TMemoryRead*>(png_get_io_ptr(Png));
    if (Count > size_t(Source->Png->size() - Source->At))
        png_error(Png, "read past the end");
    std::memcpy(Out, Source->Png->constData() + Source->At, Count);
    Source->At += qsizetype(Count);
}

// Quietly: a refusal is the answer, not a message.
[[noreturn]] void Refuse(png_structp Png, png_const_charp)
{
    png_longjmp(Png, 1);
}

void IgnoreWarning(png_structp, png_const_charp) {}

QImage DecodeLibpng(const QByteArray& Bytes)
{
    png_structp Png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, Refuse, IgnoreWarning);
    png_infop Info = Png != nullptr ? png_create_info_struct(Png) : nullptr;
    // Declared before the jump target: libpng's errors return here.
    QImage Picture;
    std::vector<png_bytep> Rows;
    TMemoryRead Source{&Bytes};
    if (Info == nullptr || setjmp(png_jmpbuf(Png))) {
        png_destroy_read_struct(&Png, &Info, nullptr);
        return {};
    }
    png_set_read_fn(Png, &Source, ReadFromMemory);
    png_read_info(Png, Info);
    png_set_expand(Png);
    png_set_scale_16(Png);
    png_set_gray_to_rgb(Png);
    png_set_filler(Png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(Png);
    png_read_update_info(Png, Info);
    Picture =
        QImage(int(png_get_image_width(Png, Info)), int(png_get_image_height(Png, Info)), QImage::Format_RGBA8888);
    if (Picture.isNull())
        png_error(Png, "no memory");
    for (int Y = 0; Y < Picture.height(); ++Y)
        Rows.push_back(Picture.scanLine(Y));
    png_read_image(Png, Rows.data());
    png_read_end(Png, nullptr);
    png_destroy_read_struct(&Png, &Info, nullptr);
    return Picture;
}
#endif

#ifdef NEBULO_BENCH_LODEPNG
QImage DecodeLodepng(const QByteArray& Png)
{
    unsigned char* Pixels = nullptr;
    unsigned Width = 0;
    unsigned Height = 0;
    if (lodepng_decode32(&Pixels, &Width, &Height, Bytes(Png), size_t(Png.size())) != 0) {
        std::free(Pixels);
        return {};
    }
    return Adopt(Pixels, int(Width), int(Height), std::free);
}
#endif

#ifdef NEBULO_BENCH_STB
QImage DecodeStb(const QByteArray& Png)
{
    int Width = 0;
    int Height = 0;
    int Channels = 0;
    unsigned char* Pixels = stbi_load_from_memory(Bytes(Png), int(Png.size()), &Width, &Height, &Channels, 4);
    return Adopt(Pixels, Width, Height, stbi_image_free);
}
#endif

} // namespace

const std::vector<TPngDecoder>& PngDecoders()
{
    static const std::vector<TPngDecoder> Decoders = {
        {"Qt", DecodeQt},           {"Nebulo", DecodeNebulo},
#ifdef NEBULO_BENCH_SPNG
        {"libspng", DecodeSpng},
#endif
#ifdef NEBULO_BENCH_LIBPNG
        {"libpng", DecodeLibpng},
#endif
#ifdef NEBULO_BENCH_LODEPNG
        {"lodepng", DecodeLodepng},
#endif
#ifdef NEBULO_BENCH_STB
        {"stb_image", DecodeStb},
#endif
    };
    return Decoders;
}

} // namespace nebulo
