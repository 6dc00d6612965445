#include "pictureio/PngStream.h"

#include "pictureio/PngChunks.h"

#include <QImageIOHandler>

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>

namespace nebulo {

namespace {

// The seventh pass of an interlaced picture, counted from 0.
constexpr int LastPass = 6;

// libpng's errors end in a jump back to Process; what it warns of is left to
// the decoder of whole bytes, which hears the same warnings.
[[noreturn]] void Refuse(png_structp Png, png_const_charp)
{
    png_longjmp(Png, 1);
}

void Unheard(png_structp, png_const_charp) {}

// Nothing with a destructor lives here: libpng's errors jump to the setjmp.
bool Process(png_structp Png, png_infop Info, const char* Bytes, size_t Size)
{
    if (setjmp(png_jmpbuf(Png)))
        return false;
    png_process_data(Png, Info, reinterpret_cast<png_bytep>(const_cast<char*>(Bytes)), Size);
    return true;
}

} // namespace

struct TPngStream::TReader {
    png_structp Png = nullptr;
    png_infop Info = nullptr;
    int64_t Fed = 0;     // bytes given to libpng
    int64_t ChunkAt = 0; // where the chunk being fed starts; 0 before the signature
    bool Declined = false;
    bool Ended = false;

    QImage Picture;
    uchar* Bits = nullptr;
    qsizetype BytesPerLine = 0;
    uint32_t Width = 0;
    uint32_t Height = 0;
    bool Interlaced = false;
    // libpng calls for every row in every pass of an interlaced picture,
    // the last pass's included, even where a pass holds no pixel.
    bool LastRowCame = false;
    bool MayBeTransparent = false;
    bool Transparent = false;

    TReader()
    {
        Png = png_create_read_struct(PNG_LIBPNG_VER_STRING, this, Refuse, Unheard);
        Info = Png != nullptr ? png_create_info_struct(Png) : nullptr;
        Declined = Info == nullptr;
        if (!Declined)
            png_set_progressive_read_fn(Png, this, Begin, Store, End);
    }
    ~TReader() { png_destroy_read_struct(&Png, &Info, nullptr); }

    void Feed(const char* SoFar, int64_t Upto)
    {
        if (Upto <= Fed)
            return;
        if (!Process(Png, Info, SoFar + Fed, size_t(Upto - Fed)))
            Decline();
        Fed = Upto;
    }

    void Decline()
    {
        Declined = true;
        Picture = QImage();
        Bits = nullptr;
    }

    static TReader& Of(png_structp Png) { return *static_cast<TReader*>(png_get_progressive_ptr(Png)); }

    static void Begin(png_structp Png, png_infop Info)
    {
        if (!Of(Png).Prepare(Png, Info))
            png_error(Png, "left to the decoder of whole bytes");
    }

    static void Store(png_structp Png, png_bytep Row, png_uint_32 Number, int Pass)
    {
        Of(Png).Keep(Png, Row, Number, Pass);
    }

    static void End(png_structp Png, png_infop) { Of(Png).Ended = true; }

    // Asks libpng for rows in the picture's own layout (blue, green, red,
    // alpha bytes; 16-bit samples rounded to 8 bits), and allocates the
    // picture within Qt's reader's limit.
    bool Prepare(png_structp Png, png_infop Info)
    {
        int Depth = 0;
        int Colour = 0;
        int Interlace = 0;
        png_get_IHDR(Png, Info, &Width, &Height, &Depth, &Colour, &Interlace, nullptr, nullptr);
        // Qt's reader puts partly transparent 16-bit pixels on white before
        // it rounds them to 8 bits: those are its own.
        if ((Depth == 16 && (Colour & PNG_COLOR_MASK_ALPHA) != 0)
            || (Colour == PNG_COLOR_TYPE_PALETTE && !PadPalette(Png, Info, Depth)))
            return false;
        MayBeTransparent = png_get_valid(Png, Info, PNG_INFO_tRNS) != 0 || (Colour & PNG_COLOR_MASK_ALPHA) != 0;
        png_set_expand(Png);
        png_set_scale_16(Png);
        if ((Colour & PNG_COLOR_MASK_COLOR) == 0)
            png_set_gray_to_rgb(Png);
        if (!MayBeTransparent)
            png_set_filler(Png, 0xFF, PNG_FILLER_AFTER);
        png_set_bgr(Png);
        Interlaced = Interlace != PNG_INTERLACE_NONE;
        if (Interlaced)
            png_set_interlace_handling(Png);
        png_read_update_info(Png, Info);
        if (png_get_rowbytes(Png, Info) != size_t(Width) * 4
            || !QImageIOHandler::allocateImage(QSize(int(Width), int(Height)), QImage::Format_ARGB32, &Picture))
            return false;
        Bits = Picture.bits();
        BytesPerLine = Picture.bytesPerLine();
        return true;
    }

    // Qt's reader takes an index beyond the palette for its first colour.
    // The palette handed back to libpng holds every index the depth allows,
    // those beyond as the first; a two-colour picture with fewer colours is
    // Qt's own case, left to it.
    static bool PadPalette(png_structp Png, png_infop Info, int Depth)
    {
        png_colorp Given = nullptr;
        int Count = 0;
        const int Indices = 1 << Depth;
        if (png_get_PLTE(Png, Info, &Given, &Count) == 0 || Count < 1 || Count > Indices
            || (Depth == 1 && Count < 2))
            return false;
        png_bytep GivenAlphas = nullptr;
        int AlphaCount = 0;
        png_get_tRNS(Png, Info, &GivenAlphas, &AlphaCount, nullptr);
        png_color Colours[PNG_MAX_PALETTE_LENGTH];
        png_byte Alphas[PNG_MAX_PALETTE_LENGTH];
        bool Opaque = true;
        for (int I = 0; I < Indices; ++I) {
            const int Taken = I < Count ? I : 0;
            Colours[I] = Given[Taken];
            Alphas[I] = Taken < AlphaCount && GivenAlphas != nullptr ? GivenAlphas[Taken] : 255;
            Opaque = Opaque && Alphas[I] == 255;
        }
        png_set_PLTE(Png, Info, Colours, Indices);
        if (!Opaque)
            png_set_tRNS(Png, Info, Alphas, Indices, nullptr);
        return true;
    }

    void Keep(png_structp Png, const png_byte* Row, uint32_t Number, int Pass)
    {
        if (Bits == nullptr || Number >= Height)
            return;
        LastRowCame = Number == Height - 1 && Pass == (Interlaced ? LastPass : 0);
        if (Row == nullptr)
            return;
        auto* Line = reinterpret_cast<QRgb*>(Bits + qsizetype(Number) * BytesPerLine);
        if (Interlaced) {
            png_progressive_combine_row(Png, reinterpret_cast<png_bytep>(Line), Row);
            return;
        }
        std::memcpy(Line, Row, size_t(Width) * 4);
        if (MayBeTransparent && !Transparent)
            Transparent = HasTransparency(Line);
    }

    bool HasTransparency(const QRgb* Line) const
    {
        QRgb All = 0xFFFFFFFF;
        for (uint32_t X = 0; X < Width; ++X)
            All &= Line[X];
        return qAlpha(All) != 255;
    }

    // An interlaced picture's rows are whole only once its last pass came.
    void FindTransparency()
    {
        for (uint32_t Y = 0; Interlaced && MayBeTransparent && !Transparent && Y < Height; ++Y)
            Transparent = HasTransparency(reinterpret_cast<const QRgb*>(Bits + qsizetype(Y) * BytesPerLine));
    }
};

TPngStream::TPngStream() : Reader_(std::make_unique<TReader>()) {}

TPngStream::~TPngStream() = default;

void TPngStream::Take(const char* SoFar, int64_t Size)
{
    TReader& Reader = *Reader_;
    while (!Reader.Declined && !Reader.Ended) {
        if (Reader.ChunkAt == 0) {
            if (Size < PngSignatureSize)
                return;
            Reader.Feed(SoFar, PngSignatureSize);
            Reader.ChunkAt = PngSignatureSize;
            continue;
        }
        TPngChunk Chunk;
        if (!PngChunkAt(SoFar, Size, Reader.ChunkAt, Chunk))
            return;
        if (Chunk.Length > PngChunkLengthLimit) {
            Reader.Decline();
            return;
        }
        const bool Whole = Chunk.End() <= Size;
        if (!Whole && !Chunk.Is("IDAT"))
            return;
        Reader.Feed(SoFar, std::min(Chunk.End(), Size));
        if (!Whole)
            return;
        Reader.ChunkAt = Chunk.End();
    }
}

bool TPngStream::Declined() const
{
    return Reader_->Declined;
}

bool TPngStream::Done() const
{
    return !Reader_->Declined && Reader_->Ended && Reader_->Bits != nullptr && Reader_->LastRowCame;
}

QImage TPngStream::TakePicture()
{
    if (!Done())
        return {};
    TReader& Reader = *Reader_;
    Reader.FindTransparency();
    QImage Picture = std::move(Reader.Picture);
    Reader.Bits = nullptr;
    if (!Reader.Transparent)
        Picture.reinterpretAsFormat(QImage::Format_RGB32);
    return Picture;
}

} // namespace nebulo
