#include "clipboard/PasteFetch.h"
#include "clipboard/X11Selection.h"
#include "pictureio/PngEncoder.h"
#include "tests/support/Rows.h"
#include "tests/x11/FakeOwner.h"
#include "toolkit/core/Exceptions.h"

#include <gtest/gtest.h>

#include <optional>
#include <stop_token>
#include <string>
#include <thread>

namespace nebulo {
namespace {

using namespace std::chrono_literals;
using TOutcome = TX11Selection::TOutcome;
using test::PrintTo;

struct TOwnerRow {
    const char* Name;
    TOwnerHabit Habit;
    TOutcome TargetsOutcome;
    TOutcome PictureOutcome;
    // Of a read allowed 100 bytes; the outcome above where none is given.
    std::optional<TOutcome> SmallOutcome = {};
};

// On the program's private X server.
class X11ClipboardOwner : public ::testing::TestWithParam<TOwnerRow> {
protected:
    const QByteArray Display = qgetenv("DISPLAY");
};

// An owner that answers is waited for long enough for a loaded machine; one
// that is expected not to answer only as long as it takes to see that: 300 ms
// without a piece, 1 s in all.
TX11Selection::TWait WaitFor(TOutcome Expected)
{
    if (Expected != TOutcome::NoAnswer)
        return TX11Selection::TWait(10000ms);
    return TX11Selection::TWait(300ms, TX11Selection::TClock::now() + 1000ms, {});
}

// How long a paste waits in these tests.
constexpr TWaitLimits TestLimits{300ms, 1000ms};

TEST_P(X11ClipboardOwner, IsGivenUpOnWhereItDoesNotAnswer)
{
    const QByteArray Picture(5000, 'p');
    TFakeOwner Owner(Display, GetParam().Habit, Picture);
    TX11Selection Selection(Display.constData());
    const TX11Selection::TTargets Offered = Selection.Targets(WaitFor(GetParam().TargetsOutcome));
    EXPECT_EQ(Offered.Outcome, GetParam().TargetsOutcome);
    if (Offered.Outcome != TOutcome::Done)
        return;
    EXPECT_EQ(Offered.Names, QList<QByteArray>({"TARGETS", "image/png"}));
    const TX11Selection::TTransfer Read = Selection.Read("image/png", WaitFor(GetParam().PictureOutcome), 1 << 20);
    EXPECT_EQ(Read.Outcome, GetParam().PictureOutcome);
    if (Read.Outcome == TOutcome::Done) {
        EXPECT_EQ(Read.Bytes, Picture);
    }
    EXPECT_EQ(Selection.Read("image/png", WaitFor(GetParam().PictureOutcome), 100).Outcome,
              GetParam().SmallOutcome.value_or(GetParam().PictureOutcome))
        << "more than the limit is refused";
}

INSTANTIATE_TEST_SUITE_P(
    Habits, X11ClipboardOwner,
    ::testing::Values(
        TOwnerRow{"AnswersAll", TOwnerHabit::AnswersAll, TOutcome::Done, TOutcome::Done, TOutcome::TooLarge},
        TOwnerRow{"ListsTypesThenStalls", TOwnerHabit::ListsTypesThenStalls, TOutcome::Done, TOutcome::NoAnswer},
        TOwnerRow{"NeverAnswers", TOwnerHabit::NeverAnswers, TOutcome::NoAnswer, TOutcome::NoAnswer},
        TOwnerRow{"RefusesThePicture", TOwnerHabit::RefusesThePicture, TOutcome::Done, TOutcome::Refused},
        TOwnerRow{"SendsPiecesThenStalls", TOwnerHabit::SendsPiecesThenStalls, TOutcome::Done, TOutcome::NoAnswer,
                  TOutcome::TooLarge},
        TOwnerRow{"TricklesPastTheDeadline", TOwnerHabit::Trickles, TOutcome::Done, TOutcome::NoAnswer,
                  TOutcome::TooLarge},
        TOwnerRow{"PromisesMoreThanItSends", TOwnerHabit::PromisesMore, TOutcome::Done, TOutcome::TooLittle,
                  TOutcome::TooLarge},
        TOwnerRow{"SendsPieces", TOwnerHabit::SendsPieces, TOutcome::Done, TOutcome::Done, TOutcome::TooLarge},
        TOwnerRow{"SendsPiecesWithoutSayingHowMany", TOwnerHabit::SendsPiecesUnannounced, TOutcome::Done,
                  TOutcome::Done, TOutcome::TooLarge}),
    test::RowName());

struct TPasteRow {
    const char* Name;
    TOwnerHabit Habit;
    const char* Selection;
    const char* Message;
};

class X11Paste : public ::testing::TestWithParam<TPasteRow> {
protected:
    const QByteArray Display = qgetenv("DISPLAY");
};

// A paste (or a drag's data, read from its own selection) that another
// program fails ends in a message within the deadline, and the next paste of
// a picture from a program that answers works.
TEST_P(X11Paste, FromAFailingOwnerEndsInTheMessageAndTheNextOneWorks)
{
    TOwnerRequest Request;
    Request.Display = Display;
    Request.Selection = GetParam().Selection;
    Request.Limits = TestLimits;
    Request.AskTargets = Request.Selection == "CLIPBOARD";
    {
        TFakeOwner Owner(Display, GetParam().Habit, QByteArray(5000, 'p'), GetParam().Selection);
        const TArrival Result = FetchFromOwner(Request, TTrace("paste", false));
        ASSERT_TRUE(Result.Failure);
        try {
            std::rethrow_exception(Result.Failure);
        } catch (const Exception& Error) {
            EXPECT_STREQ(Error.what(), GetParam().Message);
        }
        EXPECT_TRUE(Result.Picture.Pixels.isNull());
    }
    QImage Picture(6, 4, QImage::Format_RGB32);
    Picture.fill(qRgb(20, 90, 200));
    TFakeOwner Next(Display, TOwnerHabit::AnswersAll, EncodePng(Picture), GetParam().Selection);
    const TArrival Result = FetchFromOwner(Request, TTrace("paste", false));
    EXPECT_FALSE(Result.Failure);
    EXPECT_EQ(Result.Picture.Pixels, Picture);
}

INSTANTIATE_TEST_SUITE_P(
    Habits, X11Paste,
    ::testing::Values(TPasteRow{"ListsTypesThenStalls", TOwnerHabit::ListsTypesThenStalls, "CLIPBOARD",
                                "The program holding the clipboard did not answer"},
                      TPasteRow{"TricklesOneBytePer100ms", TOwnerHabit::Trickles, "CLIPBOARD",
                                "The program holding the clipboard did not answer"},
                      TPasteRow{"SendsPiecesThenStalls", TOwnerHabit::SendsPiecesThenStalls, "CLIPBOARD",
                                "The program holding the clipboard did not answer"},
                      TPasteRow{"PromisesMoreThanItSends", TOwnerHabit::PromisesMore, "CLIPBOARD",
                                "The program holding the clipboard sent too little of the picture"},
                      TPasteRow{"StalledDragSource", TOwnerHabit::ListsTypesThenStalls, "XdndSelection",
                                "The program holding the clipboard did not answer"}),
    test::RowName());

// Asked to stop, a paste on its way ends long before its deadline.
TEST_F(X11ClipboardOwner, APasteAskedToStopEndsAtOnce)
{
    TFakeOwner Owner(Display, TOwnerHabit::Trickles, QByteArray(5000, 'p'));
    TOwnerRequest Request;
    Request.Display = Display;
    Request.Limits = {10000ms, 60000ms};
    std::stop_source Stop;
    std::thread Stopper([&Stop] {
        std::this_thread::sleep_for(100ms);
        Stop.request_stop();
    });
    const auto Start = std::chrono::steady_clock::now();
    const TArrival Result = FetchFromOwner(Request, TTrace("paste", false), Stop.get_token());
    Stopper.join();
    EXPECT_TRUE(Result.Failure);
    EXPECT_LT(std::chrono::steady_clock::now() - Start, 5000ms) << "the paste went on after it was asked to stop";
}

TEST_F(X11ClipboardOwner, WithoutAnOwnerThereIsNothingToPaste)
{
    TX11Selection Selection(Display.constData());
    EXPECT_FALSE(Selection.HasOwner());
    EXPECT_EQ(Selection.Targets(300ms).Outcome, TOutcome::NoOwner);
    TOwnerRequest Request;
    Request.Display = Display;
    const TArrival Result = FetchFromOwner(Request, TTrace("paste", false));
    EXPECT_FALSE(Result.Failure);
    EXPECT_TRUE(Result.Picture.Pixels.isNull());
}

} // namespace
} // namespace nebulo
