#include "pictureio/PngEncoder.h"

#include "toolkit/core/RowShares.h"

#include <isa-l/igzip_lib.h>
#include <libdeflate.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace nebulo {

namespace {

// Level 1 of ISA-L's igzip deflates the filtered rows of a blurred 2023 x
// 2023 picture on two cores in about a third of the time the deflate
// library's fastest level takes on one, the file about 1.13 times as large
// (1.54 MB against 1.36 MB) and about 1.37 times Qt's default PNG writer's.
constexpr int CompressionLevel = 1;
// A zlib stream's header: deflate with a 32 KB window, no dictionary, the
// fastest compression (a multiple of 31 as the format asks).
constexpr char ZlibHeader[] = {0x78, 0x01};
constexpr uint8_t UpFilter = 2;
constexpr int BytesPerPixel = 3;
constexpr size_t MaxChunkLength = 0x7FFFFFFF;

constexpr std::array<uint8_t, 8> Signature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

void PutU32(uint8_t* At, uint32_t Value)
{
    At[0] = uint8_t(Value >> 24);
    At[1] = uint8_t(Value >> 16);
    At[2] = uint8_t(Value >> 8);
    At[3] = uint8_t(Value);
}

// Closes the chunk whose 4-byte type starts at TypeAt and whose data runs to
// the end of Png: fills in its length in front and appends its checksum.
void CloseChunk(QByteArray& Png, qsizetype TypeAt)
{
    auto* Bytes = reinterpret_cast<uint8_t*>(Png.data());
    const qsizetype DataLength = Png.size() - TypeAt - 4;
    PutU32(Bytes + TypeAt - 4, uint32_t(DataLength));
    uint8_t Crc[4];
    PutU32(Crc, uint32_t(libdeflate_crc32(0, Bytes + TypeAt, size_t(DataLength + 4))));
    Png.append(reinterpret_cast<const char*>(Crc), 4);
}

// Opens a chunk: room for its length, then its type. Returns where the type is.
qsizetype OpenChunk(QByteArray& Png, const char* Type)
{
    Png.append(4, '\0');
    const qsizetype TypeAt = Png.size();
    Png.append(Type, 4);
    return TypeAt;
}

// The picture in a storage the filter reads directly.
QImage FilterSource(const QImage& Picture)
{
    switch (Picture.format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
    case QImage::Format_BGR888:
    case QImage::Format_RGB888: return Picture;
    default: return Picture.convertToFormat(QImage::Format_RGB888);
    }
}

// A row's red, green and blue bytes less those of the row above, when there
// is one.
template <bool HasAbove>
void FilterPixels(QImage::Format Format, const uchar* Line, const uchar* Above, int Width, uint8_t* Out)
{
    const auto Up = [Above](int I) { return HasAbove ? Above[I] : uchar(0); };
    switch (Format) {
    case QImage::Format_RGB888:
        for (int I = 0; I < Width * BytesPerPixel; ++I)
            Out[I] = uint8_t(Line[I] - Up(I));
        break;
    case QImage::Format_BGR888:
        for (int I = 0; I < Width * BytesPerPixel; I += BytesPerPixel) {
            Out[I] = uint8_t(Line[I + 2] - Up(I + 2));
            Out[I + 1] = uint8_t(Line[I + 1] - Up(I + 1));
            Out[I + 2] = uint8_t(Line[I] - Up(I));
        }
        break;
    default: {
        const auto* Pixels = reinterpret_cast<const QRgb*>(Line);
        const auto* Over = reinterpret_cast<const QRgb*>(Above);
        for (int X = 0; X < Width; ++X, Out += BytesPerPixel) {
            const QRgb Pixel = Pixels[X];
            const QRgb Before = HasAbove ? Over[X] : 0;
            Out[0] = uint8_t(qRed(Pixel) - qRed(Before));
            Out[1] = uint8_t(qGreen(Pixel) - qGreen(Before));
            Out[2] = uint8_t(qBlue(Pixel) - qBlue(Before));
        }
    }
    }
}

// Row Y as the PNG stores it before deflation: its filter byte, then its
// filtered bytes.
void FilterRow(const QImage& Source, int Y, uint8_t* Out)
{
    *Out++ = UpFilter;
    if (Y == 0)
        FilterPixels<false>(Source.format(), Source.constScanLine(Y), nullptr, Source.width(), Out);
    else
        FilterPixels<true>(Source.format(), Source.constScanLine(Y), Source.constScanLine(Y - 1), Source.width(),
                           Out);
}

// The checksum of two runs of bytes one after the other, from each run's
// own and the second's length: the sums of the second run move on by what
// the first had gathered.
uint32_t Adler32Joined(uint32_t First, uint32_t Second, size_t SecondLength)
{
    constexpr uint32_t Base = 65521;
    const uint32_t Rest = uint32_t(SecondLength % Base);
    uint32_t Low = First & 0xFFFF;
    uint32_t High = uint32_t((uint64_t(Rest) * Low) % Base);
    Low += (Second & 0xFFFF) + Base - 1;
    High += (First >> 16) + (Second >> 16) + Base - Rest;
    Low %= Base;
    High %= Base;
    return Low | (High << 16);
}

// Rows filtered into this many bytes at a time, which stay in the cache
// until the deflater has them.
constexpr size_t ChunkBytes = 128 * 1024;

// One share of the rows, filtered a few at a time and deflated on its own:
// its deflate blocks, the last of them final only in the last share; any
// other share ends on a byte boundary (a sync flush) so that the next one's
// blocks follow it in the same stream. A share starts without the bytes
// before it, which costs a little size and lets the shares run at once.
class TDeflatedShare {
public:
    // The output's room is left unfilled: only what the deflater writes is
    // ever touched.
    TDeflatedShare(size_t Stored, size_t Count)
        : Room_(Count + Count / 8 + 4096), Out_(new uint8_t[Room_]), Chunk_(std::max(ChunkBytes, Stored)),
          Level_(ISAL_DEF_LVL1_DEFAULT)
    {
    }

    void Deflate(const QImage& Source, size_t Stored, int32_t First, int32_t Last, bool Final)
    {
        isal_zstream Stream;
        isal_deflate_init(&Stream);
        Stream.level = CompressionLevel;
        Stream.level_buf = Level_.data();
        Stream.level_buf_size = uint32_t(Level_.size());
        Stream.gzip_flag = IGZIP_DEFLATE;
        Stream.next_out = Out_.get();
        Stream.avail_out = uint32_t(Room_);
        const int32_t RowsAtOnce = int32_t(Chunk_.size() / Stored);
        Ok_ = true;
        for (int32_t Y = First; Y < Last && Ok_; Y += RowsAtOnce) {
            const int32_t End = std::min(Last, Y + RowsAtOnce);
            for (int32_t Row = Y; Row < End; ++Row)
                FilterRow(Source, Row, Chunk_.data() + size_t(Row - Y) * Stored);
            const size_t Count = size_t(End - Y) * Stored;
            Adler_ = libdeflate_adler32(Adler_, Chunk_.data(), Count);
            Length_ += Count;
            Stream.next_in = Chunk_.data();
            Stream.avail_in = uint32_t(Count);
            Stream.end_of_stream = Final && End == Last ? 1 : 0;
            Stream.flush = !Final && End == Last ? SYNC_FLUSH : NO_FLUSH;
            // Room left over means nothing is held back.
            Ok_ = isal_deflate(&Stream) == COMP_OK && Stream.avail_in == 0 && Stream.avail_out > 0;
        }
        Ok_ = Ok_ && (!Final || Stream.internal_state.state == ZSTATE_END);
        Written_ = Stream.total_out;
    }
    bool Ok() const { return Ok_; }
    const uint8_t* Bytes() const { return Out_.get(); }
    size_t Written() const { return Written_; }
    uint32_t Adler() const { return Adler_; }
    size_t Length() const { return Length_; }

private:
    size_t Room_;
    std::unique_ptr<uint8_t[]> Out_;
    size_t Written_ = 0;
    std::vector<uint8_t> Chunk_;
    std::vector<uint8_t> Level_;
    uint32_t Adler_ = 1;
    size_t Length_ = 0;
    bool Ok_ = false;
};

// The picture's rows as one zlib stream: the stream's header, the shares
// (one per core) in order, and the checksum of all the filtered rows.
// Empty when a share failed.
QByteArray ZlibStream(const QImage& Picture)
{
    const QImage Source = FilterSource(Picture);
    if (Source.isNull())
        throw std::bad_alloc();
    const size_t Stored = size_t(Picture.width()) * BytesPerPixel + 1;
    const size_t Size = size_t(Picture.height()) * Stored;
    const int Shares = SharesFor(int64_t(Picture.width()) * Picture.height());
    if (Size / size_t(Shares) + Stored >= UINT32_MAX / 2)
        return {};
    std::vector<TDeflatedShare> Deflated;
    Deflated.reserve(size_t(Shares));
    for (int Share = 0; Share < Shares; ++Share)
        Deflated.emplace_back(Stored, Size / size_t(Shares) + Stored);
    ShareRows(Picture.height(), Shares, [&](int Share, int32_t First, int32_t Last) {
        Deflated[size_t(Share)].Deflate(Source, Stored, First, Last, Share == Shares - 1);
    });
    QByteArray Stream(ZlibHeader, sizeof ZlibHeader);
    uint32_t Adler = 1;
    size_t Done = 0;
    for (const TDeflatedShare& Part : Deflated) {
        if (!Part.Ok())
            return {};
        Stream.append(reinterpret_cast<const char*>(Part.Bytes()), qsizetype(Part.Written()));
        Adler = Adler32Joined(Adler, Part.Adler(), Part.Length());
        Done += Part.Length();
    }
    uint8_t Checksum[4];
    PutU32(Checksum, Adler);
    Stream.append(reinterpret_cast<const char*>(Checksum), 4);
    return Done == Size ? Stream : QByteArray();
}

} // namespace

QByteArray EncodePng(const QImage& Picture)
{
    if (Picture.isNull())
        return {};
    try {
        const QByteArray Rows = ZlibStream(Picture);
        // A PNG chunk holds at most 2^31 - 1 bytes.
        if (Rows.isEmpty() || size_t(Rows.size()) > MaxChunkLength)
            return {};

        QByteArray Png(reinterpret_cast<const char*>(Signature.data()), Signature.size());
        const qsizetype Header = OpenChunk(Png, "IHDR");
        uint8_t Fields[13] = {};
        PutU32(Fields, uint32_t(Picture.width()));
        PutU32(Fields + 4, uint32_t(Picture.height()));
        Fields[8] = 8; // bits per sample
        Fields[9] = 2; // colour type: red, green, blue
        Png.append(reinterpret_cast<const char*>(Fields), sizeof Fields);
        CloseChunk(Png, Header);

        const qsizetype Data = OpenChunk(Png, "IDAT");
        Png.append(Rows);
        CloseChunk(Png, Data);

        CloseChunk(Png, OpenChunk(Png, "IEND"));
        return Png;
    } catch (const std::bad_alloc&) {
        return {};
    }
}

} // namespace nebulo
