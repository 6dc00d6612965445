#include "clipboard/PasteFetch.h"
#include "clipboard/X11Selection.h"
#include "tests/support/Rows.h"
#include "tests/x11/FakeOwner.h"
#include "toolkit/core/Exceptions.h"

#include <gtest/gtest.h>

#include <string>

namespace nebulo {
namespace {

using namespace std::chrono_literals;
using TOutcome = TX11Selection::TOutcome;

struct TOwnerRow {
    const char* Name;
    TOwnerHabit Habit;
    TOutcome TargetsOutcome;
    TOutcome PictureOutcome;
};

// On the program's private X server.
class X11ClipboardOwner : public ::testing::TestWithParam<TOwnerRow> {
protected:
    const QByteArray Display = qgetenv("DISPLAY");
};

// An owner that answers is waited for long enough for a loaded machine; one
// that is expected not to answer only as long as it takes to see that.
constexpr TX11Selection::TPatience PatienceFor(TOutcome Expected)
{
    return Expected == TOutcome::NoAnswer ? 300ms : 10000ms;
}

TEST_P(X11ClipboardOwner, IsGivenUpOnWhereItDoesNotAnswer)
{
    const QByteArray Picture(5000, 'p');
    TFakeOwner Owner(Display, GetParam().Habit, Picture);
    TX11Selection Selection(Display.constData());
    const TX11Selection::TTargets Offered = Selection.Targets(PatienceFor(GetParam().TargetsOutcome));
    EXPECT_EQ(Offered.Outcome, GetParam().TargetsOutcome);
    if (Offered.Outcome != TOutcome::Done)
        return;
    EXPECT_EQ(Offered.Names, QList<QByteArray>({"TARGETS", "image/png"}));
    const TX11Selection::TPatience Patience = PatienceFor(GetParam().PictureOutcome);
    const TX11Selection::TTransfer Read = Selection.Read("image/png", Patience, 1 << 20);
    EXPECT_EQ(Read.Outcome, GetParam().PictureOutcome);
    if (Read.Outcome == TOutcome::Done) {
        EXPECT_EQ(Read.Bytes, Picture);
    }
    EXPECT_EQ(Selection.Read("image/png", Patience, 100).Outcome,
              GetParam().PictureOutcome == TOutcome::Done ? TOutcome::TooLarge : GetParam().PictureOutcome)
        << "more than the limit is refused";
}

INSTANTIATE_TEST_SUITE_P(
    Habits, X11ClipboardOwner,
    ::testing::Values(TOwnerRow{"AnswersAll", TOwnerHabit::AnswersAll, TOutcome::Done, TOutcome::Done},
                      TOwnerRow{"ListsTypesThenStalls", TOwnerHabit::ListsTypesThenStalls, TOutcome::Done,
                                TOutcome::NoAnswer},
                      TOwnerRow{"NeverAnswers", TOwnerHabit::NeverAnswers, TOutcome::NoAnswer, TOutcome::NoAnswer},
                      TOwnerRow{"RefusesThePicture", TOwnerHabit::RefusesThePicture, TOutcome::Done,
                                TOutcome::Refused}),
    test::RowName());

TEST_F(X11ClipboardOwner, APasteFromAStalledOwnerEndsInTheMessage)
{
    TFakeOwner Owner(Display, TOwnerHabit::ListsTypesThenStalls, QByteArray());
    const TFetchResult Result = FetchFromOwner(Display, PastePreferences(), TTrace("paste", false));
    ASSERT_TRUE(Result.Failure);
    try {
        std::rethrow_exception(Result.Failure);
    } catch (const Exception& Error) {
        EXPECT_STREQ(Error.what(), "The program holding the clipboard did not answer");
    }
    EXPECT_TRUE(Result.Picture.Pixels.isNull());
}

TEST_F(X11ClipboardOwner, WithoutAnOwnerThereIsNothingToPaste)
{
    TX11Selection Selection(Display.constData());
    EXPECT_FALSE(Selection.HasOwner());
    EXPECT_EQ(Selection.Targets(300ms).Outcome, TOutcome::NoOwner);
    const TFetchResult Result = FetchFromOwner(Display, PastePreferences(), TTrace("paste", false));
    EXPECT_FALSE(Result.Failure);
    EXPECT_TRUE(Result.Picture.Pixels.isNull());
}

} // namespace
} // namespace nebulo
