#include "pictureio/PngEncoder.h"

#include <libdeflate.h>

#include <array>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace nebulo {

namespace {

// Level 1 of the deflate library deflates the filtered rows of a blurred
// 2023 x 2023 picture in about 70 ms on this machine kind, at about 1.25
// times the size of Qt's default PNG writer.
constexpr int CompressionLevel = 1;
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

// One row of the picture as red, green and blue bytes.
class TRowReader {
public:
    explicit TRowReader(const QImage& Picture)
    {
        switch (Picture.format()) {
        case QImage::Format_RGB32:
        case QImage::Format_ARGB32:
        case QImage::Format_ARGB32_Premultiplied:
        case QImage::Format_BGR888:
        case QImage::Format_RGB888: Source_ = Picture; break;
        default: Source_ = Picture.convertToFormat(QImage::Format_RGB888); break;
        }
    }
    bool Valid() const { return !Source_.isNull(); }

    void Read(int Y, uint8_t* Rgb) const
    {
        const uchar* Line = Source_.constScanLine(Y);
        const int Width = Source_.width();
        switch (Source_.format()) {
        case QImage::Format_RGB888: std::memcpy(Rgb, Line, size_t(Width) * BytesPerPixel); break;
        case QImage::Format_BGR888:
            for (int X = 0; X < Width; ++X, Line += 3, Rgb += 3) {
                Rgb[0] = Line[2];
                Rgb[1] = Line[1];
                Rgb[2] = Line[0];
            }
            break;
        default: {
            const auto* Pixels = reinterpret_cast<const QRgb*>(Line);
            for (int X = 0; X < Width; ++X, Rgb += 3) {
                Rgb[0] = uint8_t(qRed(Pixels[X]));
                Rgb[1] = uint8_t(qGreen(Pixels[X]));
                Rgb[2] = uint8_t(qBlue(Pixels[X]));
            }
        }
        }
    }

private:
    QImage Source_;
};

// The rows as the PNG stores them before deflation: each one its filter byte,
// then its bytes less those of the row above.
std::vector<uint8_t> FilteredRows(const QImage& Picture)
{
    const TRowReader Rows(Picture);
    if (!Rows.Valid())
        throw std::bad_alloc();
    const size_t RowBytes = size_t(Picture.width()) * BytesPerPixel;
    std::vector<uint8_t> Filtered(size_t(Picture.height()) * (RowBytes + 1));
    std::vector<uint8_t> Above(RowBytes, 0);
    std::vector<uint8_t> Current(RowBytes);
    uint8_t* Out = Filtered.data();
    for (int Y = 0; Y < Picture.height(); ++Y) {
        Rows.Read(Y, Current.data());
        *Out++ = UpFilter;
        for (size_t I = 0; I < RowBytes; ++I)
            Out[I] = uint8_t(Current[I] - Above[I]);
        Out += RowBytes;
        Current.swap(Above);
    }
    return Filtered;
}

struct TCompressorRelease {
    void operator()(libdeflate_compressor* Compressor) const { libdeflate_free_compressor(Compressor); }
};

} // namespace

QByteArray EncodePng(const QImage& Picture)
{
    if (Picture.isNull())
        return {};
    try {
        const std::vector<uint8_t> Filtered = FilteredRows(Picture);
        const std::unique_ptr<libdeflate_compressor, TCompressorRelease> Compressor(
            libdeflate_alloc_compressor(CompressionLevel));
        if (!Compressor)
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
        const size_t Bound = libdeflate_zlib_compress_bound(Compressor.get(), Filtered.size());
        Png.resize(Data + 4 + qsizetype(Bound));
        const size_t Deflated = libdeflate_zlib_compress(Compressor.get(), Filtered.data(), Filtered.size(),
                                                         Png.data() + Data + 4, Bound);
        // A PNG chunk holds at most 2^31 - 1 bytes.
        if (Deflated == 0 || Deflated > MaxChunkLength)
            return {};
        Png.resize(Data + 4 + qsizetype(Deflated));
        CloseChunk(Png, Data);

        CloseChunk(Png, OpenChunk(Png, "IEND"));
        return Png;
    } catch (const std::bad_alloc&) {
        return {};
    }
}

} // namespace nebulo
