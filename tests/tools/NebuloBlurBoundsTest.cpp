// nebulo-blur on inputs too large to take: refused from their headers, or
// once past the largest input any picture needs, in little memory; and out of
// memory anywhere, a message and exit 1.
#include "tests/support/BmpBytes.h"
#include "tests/support/Rows.h"
#include "tests/tools/ToolRun.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>


namespace nebulo {
namespace {

using test::RunTool;
using test::TRun;
using test::TRunSetup;

// Larger than a started program needs, smaller than what today's machines
// would give a program that reads without a bound.
constexpr rlim_t AddressSpaceForRefusals = rlim_t(1) << 30;

uint32_t Crc32(const QByteArray& Bytes)
{
    uint32_t Crc = 0xFFFFFFFF;
    for (const char Byte : Bytes) {
        Crc ^= uint8_t(Byte);
        for (int Bit = 0; Bit < 8; ++Bit)
            Crc = (Crc >> 1) ^ (0xEDB88320 & (0u - (Crc & 1)));
    }
    return ~Crc;
}

QByteArray BigEndian(uint32_t Value)
{
    const char Bytes[] = {char(Value >> 24), char(Value >> 16), char(Value >> 8), char(Value)};
    return QByteArray(Bytes, 4);
}

QByteArray PngChunk(const QByteArray& Type, const QByteArray& Data)
{
    return BigEndian(uint32_t(Data.size())) + Type + Data + BigEndian(Crc32(Type + Data));
}

// The signature and header of an 8-bit RGB PNG of that size: a decoder
// would want 4 bytes a pixel for it.
QByteArray PngHead(uint32_t Width, uint32_t Height)
{
    const QByteArray Header = BigEndian(Width) + BigEndian(Height) + QByteArray("\x08\x02\x00\x00\x00", 5);
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + PngChunk("IHDR", Header) + PngChunk("IDAT", "")
        + PngChunk("IEND", "");
}

// A PNG whose first chunk after its header claims 1.7 GB it does not have.
QByteArray PngChunkBeyondItsEnd()
{
    const QByteArray Header = BigEndian(3) + BigEndian(3) + QByteArray("\x08\x02\x00\x00\x00", 5);
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + PngChunk("IHDR", Header) + BigEndian(0x66013b74)
        + "tEXtdate:modify";
}

QByteArray BmpHead(int32_t Width, int32_t Height, uint16_t BitCount)
{
    const test::TBytes Head = test::MakeBmpFile(test::TBmpPlan{Width, Height, BitCount});
    return QByteArray(reinterpret_cast<const char*>(Head.data()), qsizetype(Head.size()));
}

// Head, then nothing but a hole up to Size bytes: costs no disk.
bool WriteSparse(const QString& Path, const QByteArray& Head, qint64 Size)
{
    QFile File(Path);
    return File.open(QIODevice::WriteOnly) && File.write(Head) == Head.size() && File.resize(Size);
}

enum class TInput { HugeBmp, LargePng, PngChunkBeyondItsEnd, SmallBmpInAHugeFile, Zeros };

using test::PrintTo;

struct TBoundCase {
    const char* Name;
    TInput Input;
    bool OnStandardInput;
    int ExitCode;
    const char* Message;
    long ExtraKilobytes; // the most memory beyond what starting takes
    // Without the usual limit on the address space, where a decoder that
    // trusted the input would get what it asked for.
    bool WholeAddressSpace = false;
};

class RefusedInput : public ::testing::TestWithParam<TBoundCase> {};

TEST_P(RefusedInput, StopsBeingReadAndCostsLittleMemory)
{
    const TBoundCase& Case = GetParam();
    QTemporaryDir Dir;
    ASSERT_TRUE(Dir.isValid());
    QString Input = Dir.filePath("in");
    switch (Case.Input) {
    case TInput::HugeBmp:
        ASSERT_TRUE(WriteSparse(Input, BmpHead(16384, 16384, 32), 54 + qint64(16384) * 16384 * 4));
        break;
    case TInput::LargePng:
        ASSERT_TRUE(WriteSparse(Input, PngHead(8000, 8000), PngHead(8000, 8000).size()));
        break;
    case TInput::PngChunkBeyondItsEnd:
        ASSERT_TRUE(WriteSparse(Input, PngChunkBeyondItsEnd(), PngChunkBeyondItsEnd().size()));
        break;
    case TInput::SmallBmpInAHugeFile:
        ASSERT_TRUE(WriteSparse(Input, BmpHead(100, 100, 24), qint64(200) << 20));
        break;
    case TInput::Zeros:
        Input = "/dev/zero";
        break;
    }
    const QString Output = Dir.filePath("out.bmp");
    TRunSetup Setup;
    Setup.AddressSpace = test::UnderAddressSanitizer() || Case.WholeAddressSpace ? RLIM_INFINITY
                                                                                 : AddressSpaceForRefusals;
    if (Case.OnStandardInput)
        Setup.InputPath = Input;
    const TRun Started = RunTool({"--help"}, Setup);
    const TRun Run = RunTool({"--amount", "3", Case.OnStandardInput ? "-" : Input, Output}, Setup);

    EXPECT_EQ(Run.Signal, 0) << Run.Err.toStdString();
    EXPECT_EQ(Run.ExitCode, Case.ExitCode) << Run.Err.toStdString();
    EXPECT_TRUE(Run.Err.contains(Case.Message)) << Run.Err.toStdString();
    EXPECT_EQ(Run.Err.count('\n'), 1) << Run.Err.toStdString();
    EXPECT_FALSE(QFile::exists(Output));
    const long Extra = test::UnderAddressSanitizer() ? 4 * Case.ExtraKilobytes : Case.ExtraKilobytes;
    EXPECT_LE(Run.PeakKilobytes - Started.PeakKilobytes, Extra)
        << "peak " << Run.PeakKilobytes << " KB, " << Started.PeakKilobytes << " KB after starting";
}

constexpr long AFewMegabytes = 8 * 1024;
constexpr long TheInputBound = 160 * 1024; // the bound is 128 MB

INSTANTIATE_TEST_SUITE_P(
    Inputs, RefusedInput,
    ::testing::Values(
        TBoundCase{"HugeBmpFile", TInput::HugeBmp, false, 2, "16384 x 16384 pixels is too large", AFewMegabytes},
        TBoundCase{"HugeBmpOnStandardInput", TInput::HugeBmp, true, 2, "16384 x 16384 pixels is too large",
                   AFewMegabytes},
        TBoundCase{"LargePng", TInput::LargePng, false, 2, "8000 x 8000 pixels is too large", AFewMegabytes},
        TBoundCase{"PngChunkBeyondItsEnd", TInput::PngChunkBeyondItsEnd, false, 1, "not a picture that can be read",
                   AFewMegabytes, true},
        TBoundCase{"HugeFileAroundASmallPicture", TInput::SmallBmpInAHugeFile, false, 2, "larger than 128 MB",
                   AFewMegabytes},
        TBoundCase{"HugeStreamAroundASmallPicture", TInput::SmallBmpInAHugeFile, true, 2, "larger than 128 MB",
                   TheInputBound},
        TBoundCase{"EndlessZeros", TInput::Zeros, true, 1, "not a picture that can be read", AFewMegabytes}),
    test::RowName());

// The smallest address space, in steps of Step, in which the program starts
// and explains itself.
rlim_t StartingAddressSpace(rlim_t Step)
{
    rlim_t Low = 1, High = 1024; // in steps
    while (Low < High) {
        const rlim_t Middle = (Low + High) / 2;
        TRunSetup Setup;
        Setup.AddressSpace = Middle * Step;
        if (RunTool({"--help"}, Setup).ExitCode == 0)
            High = Middle;
        else
            Low = Middle + 1;
    }
    return Low * Step;
}

// From the least memory the program starts in, more in each run: every run
// either gives the picture or ends with exit 1 and "Out of memory", never
// with a signal (an abort) and never with a partial file.
TEST(NebuloBlurOutOfMemory, EndsInAMessageWhereverItHappens)
{
    if (test::UnderAddressSanitizer())
        GTEST_SKIP() << "AddressSanitizer needs more address space than any limit";
    QTemporaryDir Dir;
    ASSERT_TRUE(Dir.isValid());
    QImage Picture(2023, 2023, QImage::Format_RGB32);
    for (int Y = 0; Y < Picture.height(); ++Y)
        for (int X = 0; X < Picture.width(); ++X)
            Picture.setPixel(X, Y, qRgb(X & 255, Y & 255, (X ^ Y) & 255));
    ASSERT_TRUE(Picture.save(Dir.filePath("in.png")));
    const QString Output = Dir.filePath("out.png");
    const TRun Unlimited = RunTool({"--amount", "20", Dir.filePath("in.png"), Dir.filePath("expected.png")});
    ASSERT_EQ(Unlimited.ExitCode, 0) << Unlimited.Err.toStdString();

    constexpr rlim_t Step = rlim_t(4) << 20;
    const rlim_t Start = StartingAddressSpace(Step);
    int Failures = 0;
    bool Succeeded = false;
    for (rlim_t Limit = Start; Limit < Start + 128 * Step && !Succeeded; Limit += Step) {
        TRunSetup Setup;
        Setup.AddressSpace = Limit;
        const TRun Run = RunTool({"--amount", "20", Dir.filePath("in.png"), Output}, Setup);
        const std::string Where = "with " + std::to_string(Limit >> 20) + " MB: " + Run.Err.toStdString();
        ASSERT_EQ(Run.Signal, 0) << Where;
        if (Run.ExitCode == 0) {
            EXPECT_EQ(QImage(Output), QImage(Dir.filePath("expected.png"))) << Where;
            std::printf("out of memory in %d runs from %llu MB on; the picture came with %llu MB\n", Failures,
                        static_cast<unsigned long long>(Start >> 20), static_cast<unsigned long long>(Limit >> 20));
            Succeeded = true;
            continue;
        }
        ++Failures;
        ASSERT_EQ(Run.ExitCode, 1) << Where;
        EXPECT_TRUE(Run.Err.contains("nebulo-blur: ") && Run.Err.contains("Out of memory")) << Where;
        EXPECT_FALSE(QFile::exists(Output)) << Where;
    }
    EXPECT_GT(Failures, 0) << "the first run had too much memory to fail";
    EXPECT_TRUE(Succeeded) << "no run had memory enough";
}

} // namespace
} // namespace nebulo
