#include "tools/PictureInput.h"

#include "pictureio/IncomingPicture.h"
#include "toolkit/core/Bitmap.h"
#include "toolkit/core/Exceptions.h"
#include "tools/ToolError.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

#include <algorithm>
#include <istream>
#include <memory>

namespace nebulo {

namespace {

// The rest of the input is read in pieces of this size.
constexpr qint64 ChunkBytes = 1 << 20;

TToolError TooLarge()
{
    return TToolError("the input is larger than " + QString::number(MaxInputBytes >> 20)
                          + " MB, more than any picture that can be blurred",
                      ExitRefused);
}

// A file, or standard input for "-", read in two steps.
class TPictureInput {
public:
    TPictureInput(const QString& Name, std::istream& In) : Name_(Name), In_(In)
    {
        if (Name == "-")
            return;
        File_ = std::make_unique<QFile>(Name);
        if (!File_->open(QIODevice::ReadOnly))
            throw TToolError("cannot read " + Name + ": " + File_->errorString());
    }

    // Up to HeadBytes from the start.
    QByteArray ReadHead()
    {
        QByteArray Head(HeadBytes, Qt::Uninitialized);
        Head.truncate(Read(Head.data(), HeadBytes));
        return Head;
    }

    // Appends the rest; one byte past the bound is enough to refuse.
    void ReadRest(QByteArray& Bytes)
    {
        if (File_ && !File_->isSequential()) {
            if (File_->size() > MaxInputBytes)
                throw TooLarge();
            Bytes.reserve(File_->size());
        }
        for (qint64 N = 1; N > 0 && Bytes.size() <= MaxInputBytes;) {
            const qint64 Had = Bytes.size();
            Bytes.resize(Had + std::min(ChunkBytes, MaxInputBytes + 1 - Had));
            N = Read(Bytes.data() + Had, Bytes.size() - Had);
            Bytes.truncate(Had + N);
        }
        if (Bytes.size() > MaxInputBytes)
            throw TooLarge();
    }

private:
    // Fills Buffer as far as the input goes: fewer than Count bytes only at its end.
    qint64 Read(char* Buffer, qint64 Count)
    {
        if (!File_) {
            In_.read(Buffer, Count);
            if (In_.bad())
                throw TToolError("cannot read standard input");
            return In_.gcount();
        }
        qint64 Done = 0;
        while (Done < Count) {
            const qint64 N = File_->read(Buffer + Done, Count - Done);
            if (N < 0)
                throw TToolError("cannot read " + Name_ + ": " + File_->errorString());
            if (N == 0)
                break;
            Done += N;
        }
        return Done;
    }

    QString Name_;
    std::istream& In_;
    std::unique_ptr<QFile> File_;
};

void Decode(const QByteArray& Bytes, const QSize& Size, TBitmap& Picture)
{
    const QImage Decoded = DecodePictureBytes(Bytes);
    // Bytes that do not hold together are never handed to another reader.
    if (Decoded.isNull() && !PictureBytesHoldTogether(Bytes))
        throw TToolError("not a picture that can be read");
    if (Decoded.isNull()) {
        // A picture of a size the blur takes that could not be given memory
        // (Qt's readers call that damaged data).
        QBuffer Buffer;
        Buffer.setData(Bytes);
        Buffer.open(QIODevice::ReadOnly);
        const QImage::Format Format = QImageReader(&Buffer).imageFormat();
        if (!Size.isEmpty() && QImage(Size, Format != QImage::Format_Invalid ? Format : QImage::Format_ARGB32).isNull())
            throw EOutOfMemory();
        throw TToolError("not a picture that can be read");
    }
    Picture.SetImage(PrepareIncomingPicture(Decoded).Pixels, TPixelFormat::pf32bit);
}

} // namespace

void ReadPicture(const QString& Name, std::istream& In, const std::function<void(const QSize&)>& CheckSize,
                 TBitmap& Picture)
{
    TPictureInput Input(Name, In);
    QByteArray Bytes = Input.ReadHead();
    TPictureHead Head = ProbePicture(Bytes);
    if (!Head.Recognised)
        throw TToolError("not a picture that can be read");
    if (!Head.Size.isEmpty())
        CheckSize(Head.Size);
    Input.ReadRest(Bytes);
    if (Head.Size.isEmpty()) {
        Head = ProbePicture(Bytes);
        if (!Head.Size.isEmpty())
            CheckSize(Head.Size);
    }
    Decode(Bytes, Head.Size, Picture);
}

} // namespace nebulo
