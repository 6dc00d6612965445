#include "toolkit/core/BmpRunLength.h"

#include "toolkit/core/BmpLayout.h"

#include <algorithm>

namespace nebulo {

namespace {

// Where the next pixel goes; rows counted from the bottom, as stored.
class TCursor {
public:
    explicit TCursor(QImage& Image) : Image_(Image), Width_(Image.width()), Height_(Image.height()) {}

    bool InPicture() const { return Row_ < Height_; }
    // Every pixel has had its turn, though the data may not have said so.
    bool Complete() const { return Row_ >= Height_ || (Row_ == Height_ - 1 && X_ >= Width_); }

    void Put(uint8_t Index)
    {
        if (X_ < Width_)
            Image_.scanLine(Height_ - 1 - Row_)[X_++] = Index;
    }
    void NextLine()
    {
        X_ = 0;
        ++Row_;
    }
    void Move(int Right, int Up)
    {
        X_ = std::min(X_ + Right, Width_);
        Row_ += Up;
    }

private:
    QImage& Image_;
    const int Width_;
    const int Height_;
    int X_ = 0;
    int Row_ = 0;
};

// Pixel I of a run: a whole byte at 8 bits, else its high nibble for even I
// and its low one for odd I.
uint8_t PixelOf(const uint8_t* Bytes, int I, int BitCount)
{
    if (BitCount == 8)
        return Bytes[I];
    const uint8_t Byte = Bytes[I / 2];
    return (I & 1) ? uint8_t(Byte & 0x0F) : uint8_t(Byte >> 4);
}

} // namespace

bool DecodeRunLengths(const uint8_t* Data, int64_t Size, int BitCount, QImage& Image)
{
    TCursor Cursor(Image);
    int64_t At = 0;
    while (Cursor.InPicture()) {
        if (Size - At < 2)
            return Cursor.Complete();
        const uint8_t Count = Data[At];
        const uint8_t Value = Data[At + 1];
        At += 2;
        if (Count > 0) {
            // Count pixels of Value; at 4 bits its two nibbles alternate.
            for (int I = 0; I < Count; ++I)
                Cursor.Put(BitCount == 8 ? Value : PixelOf(&Value, I & 1, BitCount));
            continue;
        }
        if (Value == bmp::RleEndOfLine) {
            Cursor.NextLine();
        } else if (Value == bmp::RleEndOfPicture) {
            return true;
        } else if (Value == bmp::RleDelta) {
            if (Size - At < 2)
                return Cursor.Complete();
            Cursor.Move(Data[At], Data[At + 1]);
            At += 2;
        } else {
            // Value pixels given one by one, padded to a whole 16-bit word.
            const int64_t Bytes = BitCount == 8 ? Value : (Value + 1) / 2;
            if (Size - At < Bytes)
                return Cursor.Complete();
            for (int I = 0; I < Value; ++I)
                Cursor.Put(PixelOf(Data + At, I, BitCount));
            At += Bytes + (Bytes & 1);
        }
    }
    return true;
}

} // namespace nebulo
