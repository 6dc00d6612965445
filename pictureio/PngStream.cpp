#include "pictureio/PngStream.h"

#include "pictureio/PngChunks.h"

#include <QImageIOHandler>

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <new>

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
    // A palette picture comes as an index a byte, looked up here; an
    // interlaced one is gathered in Indices until its last pass.
    bool Indexed = false;
    QRgb Colours[256] = {};
    std::unique_ptr<uchar[]> Indices;

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
        Indices.reset();
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
    // alpha bytes; 16-bit samples rounded to 8 bits) or for palette indices,
    // and allocates the picture within Qt's reader's limit.
    bool Prepare(png_structp Png, png_infop Info)
    {
        int Depth = 0;
        int Colour = 0;
        int Interlace = 0;
        png_get_IHDR(Png, Info, &Width, &Height, &Depth, &Colour, &Interlace, nullptr, nullptr);
        // Qt's reader puts partly transparent 16-bit pixels on white before
        // it rounds them to 8 bits: those are its own.
        if (Depth == 16 && (Colour & PNG_COLOR_MASK_ALPHA) != 0)
            return false;
        Indexed = Colour == PNG_COLOR_TYPE_PALETTE;
        if (Indexed) {
            if (!TakePalette(Png, Info, Depth))
                return false;
            png_set_packing(Png);
        } else {
            MayBeTransparent = png_get_valid(Png, Info, PNG_INFO_tRNS) != 0 || (Colour & PNG_COLOR_MASK_ALPHA) != 0;
            png_set_expand(Png);
            png_set_scale_16(Png);
            if ((Colour & PNG_COLOR_MASK_COLOR) == 0)
                png_set_gray_to_rgb(Png);
            if (!MayBeTransparent)
                png_set_filler(Png, 0xFF, PNG_FILLER_AFTER);
            png_set_bgr(Png);
        }
        Interlaced = Interlace != PNG_INTERLACE_NONE;
        if (Interlaced)
            png_set_interlace_handling(Png);
        png_read_update_info(Png, Info);
        if (png_get_rowbytes(Png, Info) != size_t(Width) * (Indexed ? 1 : 4)
            || !QImageIOHandler::allocateImage(QSize(int(Width), int(Height)), QImage::Format_ARGB32, &Picture))
            return false;
        if (Interlaced && Indexed) {
            Indices.reset(new (std::nothrow) uchar[size_t(Width) * Height]);
            if (Indices == nullptr)
                return false;
        }
        Bits = Picture.bits();
        BytesPerLine = Picture.bytesPerLine();
        return true;
    }

    // Qt's reader takes an index beyond the palette for its first colour; a
    // two-colour picture with fewer colours is its own case, left to it.
    bool TakePalette(png_structp Png, png_infop Info, int Depth)
    {
        png_colorp Palette = nullptr;
        int Count = 0;
        if (png_get_PLTE(Png, Info, &Palette, &Count) == 0 || Count < 1 || Count > 256 || (Depth == 1 && Count < 2))
            return false;
        png_bytep Alphas = nullptr;
        int AlphaCount = 0;
        png_get_tRNS(Png, Info, &Alphas, &AlphaCount, nullptr);
        for (int I = 0; I < Count; ++I) {
            const int Alpha = I < AlphaCount && Alphas != nullptr ? Alphas[I] : 255;
            Colours[I] = qRgba(Palette[I].red, Palette[I].green, Palette[I].blue, Alpha);
            MayBeTransparent = MayBeTransparent || Alpha != 255;
        }
        std::fill(Colours + Count, Colours + 256, Colours[0]);
        return true;
    }

    QRgb* Line(uint32_t Y) const { return reinterpret_cast<QRgb*>(Bits + qsizetype(Y) * BytesPerLine); }

    void LookUp(const uchar* Row, QRgb* Into) const
    {
        for (uint32_t X = 0; X < Width; ++X)
            Into[X] = Colours[Row[X]];
    }

    void Keep(png_structp Png, const png_byte* Row, uint32_t Number, int Pass)
    {
        if (Bits == nullptr || Number >= Height)
            return;
        LastRowCame = Number == Height - 1 && Pass == (Interlaced ? LastPass : 0);
        if (Row == nullptr)
            return;
        if (Interlaced) {
            uchar* Gathered = Indexed ? Indices.get() + size_t(Number) * Width
                                      : reinterpret_cast<uchar*>(Line(Number));
            png_progressive_combine_row(Png, Gathered, Row);
            return;
        }
        if (Indexed)
            LookUp(Row, Line(Number));
        else
            std::memcpy(Line(Number), Row, size_t(Width) * 4);
        if (MayBeTransparent && !Transparent)
            Transparent = HasTransparency(Line(Number));
    }

    bool HasTransparency(const QRgb* Row) const
    {
        QRgb All = 0xFFFFFFFF;
        for (uint32_t X = 0; X < Width; ++X)
            All &= Row[X];
        return qAlpha(All) != 255;
    }

    // An interlaced picture's rows are whole only once its last pass came.
    void FinishInterlaced()
    {
        for (uint32_t Y = 0; Interlaced && Y < Height; ++Y) {
            if (Indexed)
                LookUp(Indices.get() + size_t(Y) * Width, Line(Y));
            if (MayBeTransparent && !Transparent)
                Transparent = HasTransparency(Line(Y));
        }
        Indices.reset();
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
        if (Chunk.Length > PngChunkLengthLimit || !Chunk.Named()) {
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
    Reader.FinishInterlaced();
    QImage Picture = std::move(Reader.Picture);
    Reader.Bits = nullptr;
    if (!Reader.Transparent)
        Picture.reinterpretAsFormat(QImage::Format_RGB32);
    return Picture;
}

} // namespace nebulo
