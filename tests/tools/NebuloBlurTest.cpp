// Runs the nebulo-blur program itself, as a user would.
#include "blur/BlurCommand.h"
#include "dib/SDIB.h"
#include "tests/support/Rows.h"
#include "tests/support/SamePixels.h"
#include "tests/tools/ToolRun.h"
#include "toolkit/core/Bitmap.h"
#include "tools/OutputFile.h"
#include "tools/ToolError.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace nebulo {
namespace {

using test::PrintTo;
using test::RunTool;
using test::TRun;
using test::TRunSetup;

QImage TestPicture()
{
    QImage Image(37, 23, QImage::Format_ARGB32);
    for (int Y = 0; Y < Image.height(); ++Y)
        for (int X = 0; X < Image.width(); ++X)
            Image.setPixel(X, Y, qRgba((X * 41) & 255, (Y * 67) & 255, ((X + Y) * 13) & 255, X < 3 ? 0 : 255));
    return Image;
}

// What the window's Blur command gives for the same picture.
QImage Expected(const QImage& Input, int Position, bool Border)
{
    TBitmap Picture;
    Picture.SetImage(Input);
    TSDIB Surface;
    EXPECT_EQ(RunBlurCommand(Picture, Surface, Position, Border), TBlurRefusal::None);
    return Picture.ToRgb32();
}

class NebuloBlur : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Dir.isValid());
        ASSERT_TRUE(TestPicture().save(Path("in.png")));
    }
    QString Path(const QString& Name) const { return Dir.filePath(Name); }

    QTemporaryDir Dir;
};

TEST_F(NebuloBlur, GivesTheWindowsResultAsBmpAndPng)
{
    const TRun Bmp = RunTool({"--border", "--amount", "2.6", Path("in.png"), Path("out.bmp")});
    ASSERT_EQ(Bmp.ExitCode, 0) << Bmp.Err.toStdString();
    const TRun Png = RunTool({"--amount", "2.6", "--border", Path("in.png"), Path("out.png")});
    ASSERT_EQ(Png.ExitCode, 0) << Png.Err.toStdString();

    const QImage Want = Expected(TestPicture(), 26, true);
    ASSERT_EQ(Want.size(), QSize(37 + 4, 23 + 4));
    TBitmap FromBmp;
    FromBmp.LoadFromFile(Path("out.bmp").toStdString());
    EXPECT_EQ(FromBmp.PixelFormat(), TPixelFormat::pf24bit);
    EXPECT_TRUE(test::SamePixels(Want, FromBmp.ToRgb32()));
    EXPECT_TRUE(test::SamePixels(Want, QImage(Path("out.png"))));
}

TEST_F(NebuloBlur, RoundsTheAmountToASliderPosition)
{
    ASSERT_EQ(RunTool({"--amount", "0.44", Path("in.png"), Path("a.bmp")}).ExitCode, 0);
    ASSERT_EQ(RunTool({"--amount", "0.4", Path("in.png"), Path("b.bmp")}).ExitCode, 0);
    QFile A(Path("a.bmp")), B(Path("b.bmp"));
    ASSERT_TRUE(A.open(QIODevice::ReadOnly) && B.open(QIODevice::ReadOnly));
    EXPECT_EQ(A.readAll(), B.readAll());
}

TEST_F(NebuloBlur, ReadsStandardInputAndWritesStandardOutput)
{
    QFile In(Path("in.png"));
    ASSERT_TRUE(In.open(QIODevice::ReadOnly));
    TRunSetup Piping;
    Piping.Input = In.readAll();
    const TRun Piped = RunTool({"--amount", "7", "-", "-"}, Piping);
    ASSERT_EQ(Piped.ExitCode, 0) << Piped.Err.toStdString();
    ASSERT_EQ(RunTool({"--amount", "7", Path("in.png"), Path("out.bmp")}).ExitCode, 0);
    QFile Out(Path("out.bmp"));
    ASSERT_TRUE(Out.open(QIODevice::ReadOnly));
    EXPECT_EQ(Piped.Out, Out.readAll());
    EXPECT_TRUE(Piped.Out.startsWith("BM"));
}

TEST_F(NebuloBlur, BlursAPaletteBmpAsColour)
{
    TBitmap Picture;
    QImage Grey(9, 9, QImage::Format_RGB32);
    Grey.fill(qRgb(90, 90, 90));
    Grey.setPixel(4, 4, qRgb(255, 255, 255));
    Picture.SetImage(Grey, TPixelFormat::pf8bit);
    Picture.SaveToFile(Path("in8.bmp").toStdString());
    const TRun Result = RunTool({"--amount", "3", Path("in8.bmp"), Path("out.bmp")});
    ASSERT_EQ(Result.ExitCode, 0) << Result.Err.toStdString();
    TBitmap Back;
    Back.LoadFromFile(Path("out.bmp").toStdString());
    EXPECT_EQ(Back.PixelFormat(), TPixelFormat::pf24bit) << "an 8-bit picture is blurred as 24-bit colour";
    EXPECT_EQ(Back.ToRgb32(), Expected(Picture.ToRgb32(), 30, false));
    EXPECT_NE(Back.ToRgb32(), Picture.ToRgb32()) << "the white pixel spreads";
}

struct TErrorCase {
    const char* Name;
    QStringList Arguments; // IN and OUT stand for the test's files
    int ExitCode;
    const char* Message;
};

class NebuloBlurError : public NebuloBlur, public ::testing::WithParamInterface<TErrorCase> {};

TEST_P(NebuloBlurError, ExitsWithOneClearLineAndWritesNothing)
{
    QImage Wide(2022, 3, QImage::Format_RGB32);
    Wide.fill(Qt::red);
    ASSERT_TRUE(Wide.save(Path("wide.png")));
    QFile Garbage(Path("garbage.png"));
    ASSERT_TRUE(Garbage.open(QIODevice::WriteOnly));
    Garbage.write("this is no picture");
    Garbage.close();

    QStringList Arguments;
    for (const QString& A : GetParam().Arguments)
        Arguments << (A == "OUT" ? Path("out.png") : A.endsWith(".png") && !A.contains('/') ? Path(A) : A);
    const TRun Result = RunTool(Arguments);
    EXPECT_EQ(Result.ExitCode, GetParam().ExitCode) << Result.Err.toStdString();
    EXPECT_TRUE(Result.Err.contains(GetParam().Message)) << Result.Err.toStdString();
    EXPECT_EQ(Result.Err.count('\n'), 1) << Result.Err.toStdString();
    EXPECT_FALSE(QFile::exists(Path("out.png")));
}

INSTANTIATE_TEST_SUITE_P(
    Exits, NebuloBlurError,
    ::testing::Values(
        TErrorCase{"MissingInput", {"--amount", "5", "none.png", "OUT"}, 1, "cannot read"},
        TErrorCase{"NotAPicture", {"--amount", "5", "garbage.png", "OUT"}, 1, "not a picture"},
        TErrorCase{"AmountZero", {"--amount", "0", "in.png", "OUT"}, 2, "from 0.1 to 20.0"},
        TErrorCase{"AmountTooLarge", {"--amount", "20.1", "in.png", "OUT"}, 2, "from 0.1 to 20.0"},
        TErrorCase{"AmountNotANumber", {"--amount", "soft", "in.png", "OUT"}, 2, "from 0.1 to 20.0"},
        TErrorCase{"BorderMakesItTooLarge", {"--border", "--amount", "0.1", "wide.png", "OUT"}, 2, "2023 x 2023"},
        TErrorCase{"NoAmount", {"in.png", "OUT"}, 2, "--amount"},
        TErrorCase{"UnknownOption", {"--sharpen", "--amount", "1", "in.png", "OUT"}, 2, "unknown option"},
        TErrorCase{"UnknownOutputKind", {"--amount", "1", "in.png", "out.gif"}, 2, ".bmp or .png"},
        TErrorCase{"OutputFolderMissing", {"--amount", "1", "in.png", "/nonexistent/x.png"}, 1, "cannot write"}),
    test::RowName());

QByteArray Contents(const QString& Path)
{
    QFile File(Path);
    return File.open(QIODevice::ReadOnly) ? File.readAll() : QByteArray();
}

// Also for the superuser, whom the system would let write it.
TEST_F(NebuloBlur, RefusesAReadOnlyOutputAndLeavesIt)
{
    QFile Old(Path("old.png"));
    ASSERT_TRUE(Old.open(QIODevice::WriteOnly) && Old.write("old picture") == 11);
    Old.close();
    ASSERT_EQ(::chmod(QFile::encodeName(Path("old.png")), 0444), 0);
    const TRun Run = RunTool({"--amount", "2", Path("in.png"), Path("old.png")});
    EXPECT_EQ(Run.ExitCode, 1) << Run.Err.toStdString();
    EXPECT_TRUE(Run.Err.contains("cannot write")) << Run.Err.toStdString();
    EXPECT_EQ(Contents(Path("old.png")), "old picture");
    EXPECT_EQ(QFileInfo(Path("old.png")).permissions() & QFile::WriteOwner, 0);
}

TEST_F(NebuloBlur, WritesThroughASymbolicLinkWhichStays)
{
    ASSERT_TRUE(QDir(Dir.path()).mkdir("pictures"));
    QFile Old(Path("pictures/kept.bmp"));
    ASSERT_TRUE(Old.open(QIODevice::WriteOnly) && Old.write("old") == 3);
    Old.close();
    ASSERT_TRUE(QFile::link("pictures/kept.bmp", Path("link.bmp")));
    ASSERT_TRUE(QFile::link(Path("pictures/new.bmp"), Path("dangling.bmp")));
    ASSERT_EQ(RunTool({"--amount", "2", Path("in.png"), Path("plain.bmp")}).ExitCode, 0);

    for (const char* Link : {"link.bmp", "dangling.bmp"}) {
        const TRun Run = RunTool({"--amount", "2", Path("in.png"), Path(Link)});
        EXPECT_EQ(Run.ExitCode, 0) << Link << ": " << Run.Err.toStdString();
        EXPECT_TRUE(QFileInfo(Path(Link)).isSymLink()) << Link;
    }
    EXPECT_EQ(Contents(Path("pictures/kept.bmp")), Contents(Path("plain.bmp")));
    EXPECT_EQ(Contents(Path("pictures/new.bmp")), Contents(Path("plain.bmp")));
    EXPECT_EQ(QDir(Path("pictures")).entryList(QDir::Files | QDir::Hidden).size(), 2) << "nothing left beside them";
}

// A file-size limit stands in for a full disk: the write fails part way.
TEST_F(NebuloBlur, AFailedWriteSaysWhyAndLeavesTheOldFile)
{
    QFile Old(Path("out.bmp"));
    ASSERT_TRUE(Old.open(QIODevice::WriteOnly) && Old.write("old") == 3);
    Old.close();
    TRunSetup Setup;
    Setup.FileSize = 1000;
    const TRun Run = RunTool({"--amount", "2", Path("in.png"), Path("out.bmp")}, Setup);
    EXPECT_EQ(Run.ExitCode, 1) << Run.Err.toStdString();
    EXPECT_TRUE(Run.Err.contains(std::strerror(EFBIG))) << Run.Err.toStdString();
    EXPECT_EQ(Contents(Path("out.bmp")), "old");
    EXPECT_EQ(QDir(Dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2) << "in.png and out.bmp alone";
}

TEST(OutputFile, AFullDiskSaysSo)
{
    const int Full = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
    ASSERT_GE(Full, 0);
    try {
        WriteAll(Full, QByteArray(4096, 'x'), "out.bmp");
        ADD_FAILURE() << "a write to a full disk succeeded";
    } catch (const TToolError& Error) {
        EXPECT_EQ(Error.Text, QString("cannot write out.bmp: ") + std::strerror(ENOSPC));
        EXPECT_EQ(Error.ExitCode, 1);
    }
    ::close(Full);
}

TEST_F(NebuloBlur, ExplainsItselfAndTimesTheBlur)
{
    const TRun Help = RunTool({"--help"});
    EXPECT_EQ(Help.ExitCode, 0);
    EXPECT_TRUE(Help.Out.contains("Usage: nebulo-blur")) << Help.Out.toStdString();
    EXPECT_TRUE(Help.Out.contains("Exit status"));
    EXPECT_EQ(RunTool({"--amount", "5", "-h"}).Out, Help.Out);
    const TRun Version = RunTool({"--version"});
    EXPECT_EQ(Version.ExitCode, 0);
    EXPECT_TRUE(Version.Out.startsWith("nebulo-blur ")) << Version.Out.toStdString();

    const TRun Bench = RunTool({"--bench", "3", "--amount", "20", Path("in.png"), Path("out.bmp")});
    EXPECT_EQ(Bench.ExitCode, 0) << Bench.Err.toStdString();
    EXPECT_TRUE(Bench.Err.contains("3 runs: min ")) << Bench.Err.toStdString();
    EXPECT_TRUE(Bench.Err.contains(" ms, median ")) << Bench.Err.toStdString();
    EXPECT_TRUE(QFile::exists(Path("out.bmp")));
}

} // namespace
} // namespace nebulo
