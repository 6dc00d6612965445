// Runs the nebulo-blur program itself, as a user would.
#include "blur/BlurCommand.h"
#include "dib/SDIB.h"
#include "toolkit/core/Bitmap.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace nebulo {
namespace {

struct TRun {
    int ExitCode = -1;
    QByteArray Out;
    QString Err;
};

TRun RunTool(const QStringList& Arguments, const QByteArray& Input = {})
{
    QProcess Process;
    Process.start(NEBULO_BLUR_PROGRAM, Arguments);
    EXPECT_TRUE(Process.waitForStarted());
    Process.write(Input);
    Process.closeWriteChannel();
    EXPECT_TRUE(Process.waitForFinished(60000));
    return {Process.exitCode(), Process.readAllStandardOutput(), QString::fromUtf8(Process.readAllStandardError())};
}

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
    EXPECT_EQ(BlurPicture(Picture, Surface, Position, Border), TBlurRefusal::None);
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
    EXPECT_EQ(FromBmp.ToRgb32(), Want);
    EXPECT_EQ(QImage(Path("out.png")).convertToFormat(QImage::Format_RGB32), Want);
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
    const TRun Piped = RunTool({"--amount", "7", "-", "-"}, In.readAll());
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
    friend void PrintTo(const TErrorCase& Case, std::ostream* Out) { *Out << Case.Name; }
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
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST_F(NebuloBlur, ExplainsItselfAndTimesTheBlur)
{
    const TRun Help = RunTool({"--help"});
    EXPECT_EQ(Help.ExitCode, 0);
    EXPECT_TRUE(Help.Out.contains("Usage: nebulo-blur")) << Help.Out.toStdString();
    EXPECT_TRUE(Help.Out.contains("Exit status"));

    const TRun Bench = RunTool({"--bench", "3", "--amount", "20", Path("in.png"), Path("out.bmp")});
    EXPECT_EQ(Bench.ExitCode, 0) << Bench.Err.toStdString();
    EXPECT_TRUE(Bench.Err.contains("3 runs: min ")) << Bench.Err.toStdString();
    EXPECT_TRUE(Bench.Err.contains(" ms, median ")) << Bench.Err.toStdString();
    EXPECT_TRUE(QFile::exists(Path("out.bmp")));
}

} // namespace
} // namespace nebulo
