#include "toolkit/core/Bitmap.h"
#include "toolkit/core/Exceptions.h"
#include "toolkit/core/Stream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace nebulo {
namespace {

void Fill(TMemoryStream& Stream, const char* Text)
{
    Stream.WriteBuffer(Text, int64_t(std::strlen(Text)));
}

TEST(MemoryStream, SeeksFromEachOriginWithoutClamping)
{
    TMemoryStream Stream;
    Fill(Stream, "0123456789");
    EXPECT_EQ(Stream.Seek(3, soBeginning), 3);
    EXPECT_EQ(Stream.Seek(2, soCurrent), 5);
    EXPECT_EQ(Stream.Seek(-1, soEnd), 9);
    EXPECT_EQ(Stream.Seek(5, soEnd), 15);
    EXPECT_EQ(Stream.Seek(-20, soCurrent), -5);
    EXPECT_EQ(Stream.Seek(7, 3), -5) << "an unknown origin leaves the position";
}

// Growth leaves new bytes unfilled; a write past the end must still read
// back zeros in the gap, whatever memory the block came from.
TEST(MemoryStream, AWritePastTheEndLeavesZerosInTheGap)
{
    std::vector<std::vector<char>> Used;
    for (int I = 0; I < 8; ++I)
        Used.emplace_back(4096, '\xFF');
    Used.clear();
    TMemoryStream Stream;
    Stream.Reserve(4096);
    Fill(Stream, "ab");
    Stream.Seek(4000, soBeginning);
    Fill(Stream, "z");
    ASSERT_EQ(Stream.Size(), 4001);
    for (int64_t I = 2; I < 4000; ++I)
        ASSERT_EQ(Stream.Memory()[I], 0) << "byte " << I;
    uint8_t* Space = Stream.WriteInPlace(3);
    ASSERT_EQ(Space, Stream.Memory() + 4001);
    std::memcpy(Space, "xyz", 3);
    EXPECT_EQ(Stream.Size(), 4004);
    EXPECT_EQ(Stream.Position(), 4004);
    EXPECT_EQ(Stream.WriteInPlace(-1), nullptr);
}

TEST(MemoryStream, ReadReturnsWhatRemainsAndNothingOutsideTheBlock)
{
    TMemoryStream Stream;
    Fill(Stream, "abcdef");
    char Buffer[8] = {};
    Stream.Seek(4, soBeginning);
    EXPECT_EQ(Stream.Read(Buffer, 8), 2);
    EXPECT_EQ(std::string(Buffer, 2), "ef");
    EXPECT_EQ(Stream.Read(Buffer, 1), 0) << "at the end";
    Stream.Seek(-1, soBeginning);
    EXPECT_EQ(Stream.Read(Buffer, 1), 0) << "before the start";
    Stream.Seek(0, soBeginning);
    EXPECT_EQ(Stream.Read(Buffer, -1), 0) << "negative count";
    EXPECT_EQ(Stream.Position(), 0);
}

TEST(MemoryStream, ExactReadsAndWritesFailWithTheStreamMessages)
{
    TMemoryStream Stream;
    Fill(Stream, "abc");
    Stream.Seek(1, soBeginning);
    char Buffer[4];
    try {
        Stream.ReadBuffer(Buffer, 3);
        FAIL() << "a short read must fail";
    } catch (const EReadError& Error) {
        EXPECT_STREQ(Error.what(), "Stream read error");
    }

    TCustomMemoryStream& ReadOnly = Stream;
    Stream.Seek(-2, soBeginning);
    try {
        ReadOnly.WriteBuffer("x", 1);
        FAIL() << "a write before the start must fail";
    } catch (const EWriteError& Error) {
        EXPECT_STREQ(Error.what(), "Stream write error");
    }
}

TEST(MemoryStream, WritesGrowTheBlockAndKeepItsContent)
{
    TMemoryStream Stream;
    Fill(Stream, "head");
    Stream.Seek(8, soBeginning);
    Fill(Stream, "tail");
    ASSERT_EQ(Stream.Size(), 12);
    EXPECT_EQ(std::memcmp(Stream.Memory(), "head\0\0\0\0tail", 12), 0);
    for (int I = 0; I < 10000; ++I)
        Fill(Stream, "x");
    EXPECT_EQ(Stream.Size(), 10012);
    EXPECT_EQ(std::memcmp(Stream.Memory(), "head", 4), 0);
}

TEST(MemoryStream, SetSizeDiscardsTheContentAndRewinds)
{
    TMemoryStream Stream;
    Fill(Stream, "content");
    Stream.SetSize(5);
    EXPECT_EQ(Stream.Size(), 5);
    EXPECT_EQ(Stream.Position(), 0);
    EXPECT_EQ(std::memcmp(Stream.Memory(), "\0\0\0\0\0", 5), 0);
    EXPECT_THROW(Stream.SetSize(-1), EStreamError);
}

TEST(Stream, CopyFromMovesExactlyTheCount)
{
    TMemoryStream Source;
    Fill(Source, "0123456789");
    Source.Seek(2, soBeginning);
    TMemoryStream Dest;
    Dest.CopyFrom(Source, 5);
    EXPECT_EQ(Dest.Size(), 5);
    EXPECT_EQ(std::memcmp(Dest.Memory(), "23456", 5), 0);
    EXPECT_EQ(Source.Position(), 7);
    Dest.CopyFrom(Source, 0);
    EXPECT_EQ(Dest.Size(), 5) << "a count of 0 copies nothing";
    EXPECT_THROW(Dest.CopyFrom(Source, 4), EReadError) << "only 3 bytes remain";
}

// A full disk: every picture saved there fails, the small one that the file's
// buffer would hold as well as the large one.
TEST(FileStream, SavingToAFullDeviceFailsWithTheStreamWriteError)
{
    for (const int Side : {2, 300}) {
        TBitmap Picture;
        Picture.SetSize(Side, Side);
        try {
            Picture.SaveToFile("/dev/full");
            ADD_FAILURE() << Side << " x " << Side << ": saved to a full device";
        } catch (const EWriteError& Error) {
            EXPECT_STREQ(Error.what(), "Stream write error") << Side << " x " << Side;
        }
    }
}

} // namespace
} // namespace nebulo
