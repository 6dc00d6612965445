#include "interaction/PictureDrop.h"
#include "tests/support/Rows.h"
#include "tests/support/SamePixels.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>

namespace nebulo {
namespace {

using test::PrintTo;

QImage Pattern()
{
    QImage Image(7, 5, QImage::Format_RGB32);
    for (int Y = 0; Y < Image.height(); ++Y)
        for (int X = 0; X < Image.width(); ++X)
            Image.setPixel(X, Y, qRgb(X * 30, Y * 40, 200));
    return Image;
}

QByteArray PatternPng()
{
    QByteArray Bytes;
    QBuffer Buffer(&Bytes);
    Buffer.open(QIODevice::WriteOnly);
    Pattern().save(&Buffer, "PNG");
    return Bytes;
}

// The pattern's PNG with a chunk after its header that claims 1.6 GB.
QByteArray ChunkBeyondItsEnd()
{
    QByteArray Bytes = PatternPng();
    Bytes.insert(33, QByteArray("\x60\x00\x00\x00tEXtdate", 12));
    return Bytes;
}

// What lies in the folder the drops come from.
void MakeFiles(const QDir& Folder)
{
    Pattern().save(Folder.filePath("picture.png"));
    Pattern().save(Folder.filePath("picture.bmp"));
    Pattern().save(Folder.filePath("named-wrongly.txt"), "PNG");
    QFile Text(Folder.filePath("notes.txt"));
    Text.open(QIODevice::WriteOnly);
    Text.write("not a picture\n");
    Text.close();
    QFile Png(Folder.filePath("picture.png"));
    Png.open(QIODevice::ReadOnly);
    QFile Cut(Folder.filePath("cut.png"));
    Cut.open(QIODevice::WriteOnly);
    Cut.write(Png.read(Png.size() / 2));
    QDir(Folder).mkdir("folder.png");
    QFile Claims(Folder.filePath("claims.png"));
    Claims.open(QIODevice::WriteOnly);
    Claims.write(ChunkBeyondItsEnd());
    QFile Sparse(Folder.filePath("sparse.png"));
    Sparse.open(QIODevice::WriteOnly);
    Sparse.resize(qint64(3) << 30);
    ::mkfifo(QFile::encodeName(Folder.filePath("silent.fifo")).constData(), 0600);
    QFile::link("loop.png", Folder.filePath("loop.png"));
    ::mkfifo(QFile::encodeName(Folder.filePath("stalled.fifo")).constData(), 0600);
}

// A program that opened the pipe to write and never does.
class TStalledWriter {
public:
    explicit TStalledWriter(const QString& Path) : Fd_(::open(QFile::encodeName(Path).constData(), O_RDWR)) {}
    ~TStalledWriter() { ::close(Fd_); }
    TStalledWriter(const TStalledWriter&) = delete;
    TStalledWriter& operator=(const TStalledWriter&) = delete;

private:
    int Fd_;
};

// A drop taken as the window takes it, waiting 300 ms for a file's next bytes.
QImage Dropped(const QMimeData& Data)
{
    const TWaitLimits Limits{std::chrono::milliseconds(300), std::chrono::milliseconds(10000)};
    const TArrival Arrived = DropTransport(Data, TTrace("drop", false), Limits)(std::stop_token());
    if (Arrived.Failure)
        std::rethrow_exception(Arrived.Failure);
    return Arrived.Picture.Pixels;
}

struct TDropRow {
    const char* Name;
    std::function<void(QMimeData&, const QDir&)> Fill;
    const char* Refusal; // none: the drop brings Pattern()
    bool Offered = true; // the window lets the drag in
};

// Picture data from another program comes as bytes of a picture type, which
// Qt also lists as its own picture type.
void OfferAsAnotherProgram(QMimeData& Data, const QByteArray& Png)
{
    Data.setData("image/png", Png);
    Data.setData("application/x-qt-image", Png);
}

void DropFile(QMimeData& Data, const QDir& Folder, const char* Name)
{
    Data.setUrls({QUrl::fromLocalFile(Folder.filePath(Name))});
}

class Drop : public ::testing::TestWithParam<TDropRow> {};

TEST_P(Drop, BringsItsPictureOrSaysWhyNot)
{
    QTemporaryDir Folder;
    ASSERT_TRUE(Folder.isValid());
    MakeFiles(QDir(Folder.path()));
    const TStalledWriter Writer(QDir(Folder.path()).filePath("stalled.fifo"));
    QMimeData Data;
    GetParam().Fill(Data, QDir(Folder.path()));
    EXPECT_EQ(MayHoldPicture(Data), GetParam().Offered);
    if (GetParam().Refusal == nullptr) {
        EXPECT_TRUE(test::SamePixels(Pattern(), Dropped(Data)));
        return;
    }
    try {
        Dropped(Data);
        ADD_FAILURE() << "taken";
    } catch (const Exception& Error) {
        EXPECT_EQ(std::string(Error.what()).substr(0, std::string(GetParam().Refusal).size()), GetParam().Refusal);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Contents, Drop,
    ::testing::Values(
        TDropRow{"PngFile", [](QMimeData& D, const QDir& F) { DropFile(D, F, "picture.png"); }, nullptr},
        TDropRow{"BmpFile", [](QMimeData& D, const QDir& F) { DropFile(D, F, "picture.bmp"); }, nullptr},
        TDropRow{"PictureUnderAnotherName",
                 [](QMimeData& D, const QDir& F) { DropFile(D, F, "named-wrongly.txt"); }, nullptr},
        TDropRow{"PictureData", [](QMimeData& D, const QDir&) { D.setImageData(Pattern()); }, nullptr},
        TDropRow{"FirstFileCounts",
                 [](QMimeData& D, const QDir& F) {
                     D.setUrls({QUrl::fromLocalFile(F.filePath("picture.png")),
                                QUrl::fromLocalFile(F.filePath("notes.txt"))});
                 },
                 nullptr},
        TDropRow{"TextFile", [](QMimeData& D, const QDir& F) { DropFile(D, F, "notes.txt"); },
                 "\"notes.txt\" is not a picture Nebulo can read"},
        TDropRow{"CutPicture", [](QMimeData& D, const QDir& F) { DropFile(D, F, "cut.png"); },
                 "\"cut.png\" cannot be read as a picture: "},
        TDropRow{"ChunkBeyondItsEnd", [](QMimeData& D, const QDir& F) { DropFile(D, F, "claims.png"); },
                 "\"claims.png\" cannot be read as a picture: its data is damaged"},
        TDropRow{"PngData", [](QMimeData& D, const QDir&) { OfferAsAnotherProgram(D, PatternPng()); }, nullptr},
        TDropRow{"DamagedPngData", [](QMimeData& D, const QDir&) { OfferAsAnotherProgram(D, ChunkBeyondItsEnd()); },
                 "The dropped picture data cannot be read"},
        TDropRow{"Folder", [](QMimeData& D, const QDir& F) { DropFile(D, F, "folder.png"); },
                 "\"folder.png\" is a folder, not a picture"},
        TDropRow{"GoneFile", [](QMimeData& D, const QDir& F) { DropFile(D, F, "gone.png"); },
                 "Cannot open \"gone.png\": "},
        TDropRow{"FarFile", [](QMimeData& D, const QDir&) { D.setUrls({QUrl("https://example.org/a.png")}); },
                 "Only pictures in files on this computer can be dropped, not https://example.org/a.png"},
        TDropRow{"FarFileWithItsPicture",
                 [](QMimeData& D, const QDir&) {
                     D.setUrls({QUrl("https://example.org/a.png")});
                     D.setImageData(Pattern());
                 },
                 nullptr},
        TDropRow{"DeviceWithoutEnd",
                 [](QMimeData& D, const QDir&) { D.setUrls({QUrl::fromLocalFile("/dev/zero")}); },
                 "\"zero\" goes on past any picture Nebulo can take"},
        TDropRow{"RandomDevice",
                 [](QMimeData& D, const QDir&) { D.setUrls({QUrl::fromLocalFile("/dev/urandom")}); },
                 "\"urandom\" goes on past any picture Nebulo can take"},
        TDropRow{"PipeNobodyWrites", [](QMimeData& D, const QDir& F) { DropFile(D, F, "silent.fifo"); },
                 "\"silent.fifo\" is not a picture Nebulo can read"},
        TDropRow{"PipeThatStalls", [](QMimeData& D, const QDir& F) { DropFile(D, F, "stalled.fifo"); },
                 "\"stalled.fifo\" sent nothing for a while: given up"},
        TDropRow{"SymlinkLoop", [](QMimeData& D, const QDir& F) { DropFile(D, F, "loop.png"); },
                 "Cannot open \"loop.png\": Too many levels of symbolic links"},
        TDropRow{"TenThousandFiles",
                 [](QMimeData& D, const QDir& F) {
                     QList<QUrl> Files(10000, QUrl::fromLocalFile(F.filePath("notes.txt")));
                     Files.front() = QUrl::fromLocalFile(F.filePath("picture.png"));
                     D.setUrls(Files);
                 },
                 nullptr},
        TDropRow{"SparseFileOf3GB", [](QMimeData& D, const QDir& F) { DropFile(D, F, "sparse.png"); },
                 "\"sparse.png\" is too large to be a picture Nebulo can take"},
        TDropRow{"PlainText", [](QMimeData& D, const QDir&) { D.setText("hello"); },
                 "What was dropped is not a picture", false}),
    test::RowName());

} // namespace
} // namespace nebulo
