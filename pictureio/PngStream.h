#pragma once

#include <QImage>

#include <cstdint>
#include <memory>

namespace nebulo {

// A PNG decoded while its bytes still arrive, through libpng's progressive
// reader, straight into the 32-bit form a pasted picture is held in: RGB32,
// or ARGB32 where a pixel is transparent, with the pixels Qt's reader gives
// (16-bit samples rounded to 8 bits as Qt rounds them). It declines what it
// cannot take so (16-bit samples with an alpha channel, a two-colour palette
// with one colour, a picture beyond Qt's reader's memory limit) and every
// byte that libpng or the chunk check refuses: the decoder of whole bytes
// then has the last word on them.
class TPngStream {
public:
    TPngStream();
    ~TPngStream();
    TPngStream(const TPngStream&) = delete;
    TPngStream& operator=(const TPngStream&) = delete;

    // Decodes what came since the last call; SoFar holds the file from its
    // first byte, and Size only grows from call to call. A chunk other than
    // the pixel data is taken once it is whole, so that the reader never
    // gathers one piece by piece.
    void Take(const char* SoFar, int64_t Size);
    bool Declined() const;
    // Whether the picture is whole: every row and the end chunk arrived.
    bool Done() const;
    // The picture, once Done; null before.
    QImage TakePicture();

private:
    struct TReader;
    std::unique_ptr<TReader> Reader_;
};

} // namespace nebulo
