#include "pictureio/ArrivingBytes.h"
#include "tests/support/Rows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace nebulo {
namespace {

using test::PrintTo;

struct TArrivingRow {
    const char* Name;
    qsizetype Announced;
    std::vector<qsizetype> Pieces;
};

class ArrivingBytes : public ::testing::TestWithParam<TArrivingRow> {};

QByteArray Counting(qsizetype From, qsizetype Size)
{
    QByteArray Bytes(Size, Qt::Uninitialized);
    for (qsizetype I = 0; I < Size; ++I)
        Bytes[I] = char((From + I) * 7);
    return Bytes;
}

// Every byte comes out as it went in, and the watcher sees every byte so
// far, in order, each time more came, whatever room was announced.
TEST_P(ArrivingBytes, KeepEveryByteAndShowThemInOrder)
{
    QByteArray Sent;
    std::vector<qsizetype> Seen;
    QByteArray Watched;
    TArrivingBytes Bytes([&](const char* SoFar, qsizetype Size) {
        Seen.push_back(Size);
        Watched = QByteArray(SoFar, Size);
    });
    Bytes.Reserve(GetParam().Announced);
    for (const qsizetype Piece : GetParam().Pieces) {
        const QByteArray More = Counting(Sent.size(), Piece);
        Bytes.Append(More.constData(), More.size());
        Sent += More;
    }
    EXPECT_EQ(Bytes.Close(), Sent);
    EXPECT_EQ(Watched, Sent) << "the watcher's last look";
    EXPECT_TRUE(std::is_sorted(Seen.begin(), Seen.end())
                && std::adjacent_find(Seen.begin(), Seen.end()) == Seen.end())
        << "each look sees more";
}

INSTANTIATE_TEST_SUITE_P(Rooms, ArrivingBytes,
                         ::testing::Values(TArrivingRow{"AsAnnounced", 3000, {1000, 1000, 1000}},
                                           TArrivingRow{"MoreThanAnnounced", 10, {7, 7, 7, 100000}},
                                           TArrivingRow{"NoneAnnounced", 0, {1, TArrivingBytes::UnannouncedRoom, 3}},
                                           TArrivingRow{"Nothing", 0, {}}),
                         test::RowName());

// Taking bytes in never waits for the watcher, even when they outgrow the
// room it is reading: a watcher held up for 5 s shows any wait.
TEST(ArrivingBytes, NeverWaitForTheWatcher)
{
    using namespace std::chrono_literals;
    std::atomic<bool> Release = false;
    std::atomic<qsizetype> Looking = 0;
    TArrivingBytes Bytes([&](const char*, qsizetype Size) {
        Looking = Size;
        const auto Until = std::chrono::steady_clock::now() + 5s;
        while (!Release && std::chrono::steady_clock::now() < Until)
            std::this_thread::yield();
    });
    const QByteArray Piece = Counting(0, 3000);
    Bytes.Append(Piece.constData(), Piece.size());
    while (Looking == 0)
        std::this_thread::yield();
    const auto Start = std::chrono::steady_clock::now();
    for (int I = 0; I < 3; ++I)
        Bytes.Append(Counting(0, TArrivingBytes::UnannouncedRoom).constData(), TArrivingBytes::UnannouncedRoom);
    EXPECT_LT(std::chrono::steady_clock::now() - Start, 4s);
    Release = true;
    EXPECT_EQ(Bytes.Close().size(), 3000 + 3 * TArrivingBytes::UnannouncedRoom);
    EXPECT_EQ(Looking, 3000 + 3 * TArrivingBytes::UnannouncedRoom) << "the watcher's last look";
}

} // namespace
} // namespace nebulo
