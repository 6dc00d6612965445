#include "clipboard/DesktopClipboard.h"
#include "clipboard/ManagerHandOff.h"
#include "clipboard/PictureOffer.h"
#include "clipboard/X11Selection.h"
#include "pictureio/PngEncoder.h"
#include "tests/support/Rows.h"
#include "tests/support/SamePixels.h"
#include "tests/x11/FakeManager.h"
#include "tests/x11/FakeOwner.h"
#include "toolkit/core/Bitmap.h"
#include "toolkit/core/Clipboard.h"
#include "toolkit/core/Exceptions.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QSignalSpy>
#include <QStringList>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdio>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <thread>

namespace nebulo {
namespace {

using namespace std::chrono_literals;

// Holds back the copy's PNG encoder until opened, and opens on every path,
// so that no worker waits for ever.
class TEncoderGate {
public:
    ~TEncoderGate() { Open(); }
    void Open()
    {
        if (!IsOpen_) {
            IsOpen_ = true;
            Gate_.set_value();
        }
    }
    TPictureOffer::TEncoder Encoder() const
    {
        return [Opened = Opened_](const QImage& Pixels) {
            Opened.wait();
            return EncodePng(Pixels);
        };
    }

private:
    std::promise<void> Gate_;
    std::shared_future<void> Opened_ = Gate_.get_future().share();
    bool IsOpen_ = false;
};

// When the window's thread hears that another program took the clipboard,
// against the moment its copy's PNG is ready.
enum class TTaking {
    Never,             // nobody takes it: the copy stands
    HeardWhileEncoding, // Qt has let go of the offer before the PNG is ready
    AfterEncoded,      // the PNG's news is handled before any of the X server's
    BothWaiting,       // both wait for the event loop, which takes them in its own order
    NoticedFirst,      // a notice of a change is checked while Qt still holds the offer, whose PNG then comes
};

struct TTakingRow {
    const char* Name;
    TTaking Taking;
};

const std::string NotHeld = "The copied picture is not on the clipboard: another program holds it";

// Qt stamps a copy with the latest X server time it has heard of, and the
// server refuses a copy older than the clipboard's latest change (an earlier
// test's owner, say). A change that Qt hears of brings its clock up to date,
// as the click on Copy does in the window. Qt hears of both its coming and
// its going, so that no late notice of them falls into the test.
void HearTheServersClock(const QByteArray& Display)
{
    QSignalSpy Changed(QGuiApplication::clipboard(), &QClipboard::changed);
    {
        const TFakeOwner Earlier(Display, TOwnerHabit::AnswersAll, QByteArray());
    }
    ASSERT_TRUE(QTest::qWaitFor([&Changed] { return Changed.count() >= 2; }, 10000))
        << "Qt heard of " << Changed.count() << " of the two changes of the clipboard";
}

// The window's Copy: the toolkit's clipboard takes the view's bitmap.
void Copy(const QImage& Pixels)
{
    TBitmap Picture;
    Picture.SetImage(Pixels);
    const TOpenClipboard Open(Clipboard());
    Clipboard().Assign(&Picture);
}

// The copy road of the window (the toolkit's clipboard, our offer, the
// check) on the program's private X server, with the encoder held back.
class X11CopyCheck : public ::testing::TestWithParam<TTakingRow> {
protected:
    void SetUp() override
    {
        HearTheServersClock(Display);
        if (HasFatalFailure())
            return;
        Clipboard().SetPictureOfferMaker([this](const QImage& Pixels) { return new TPictureOffer(Pixels, Gate.Encoder()); });
        QObject::connect(&Checker, &TDesktopClipboard::Failed, [this](std::exception_ptr Failure) {
            try {
                std::rethrow_exception(Failure);
            } catch (const Exception& Error) {
                Reports << Error.what();
            }
        });
    }
    // No test after this one finds the clipboard held by this process.
    void TearDown() override
    {
        Clipboard().SetPictureOfferMaker(nullptr);
        QGuiApplication::clipboard()->clear();
    }

    // Delivers only the posted events of Type (the encoder's news, calls
    // queued by the check), none of the X server's, until Done.
    template <typename TDone>
    static bool DeliverUntil(QEvent::Type Type, TDone Done)
    {
        const auto Deadline = std::chrono::steady_clock::now() + 10s;
        for (;;) {
            QCoreApplication::sendPostedEvents(nullptr, Type);
            if (Done())
                return true;
            if (std::chrono::steady_clock::now() > Deadline)
                return false;
            std::this_thread::sleep_for(1ms);
        }
    }

    // The reports, one a line.
    std::string Said() const { return Reports.join('\n').toStdString(); }

    const QByteArray Display = qgetenv("DISPLAY");
    TEncoderGate Gate;
    TDesktopClipboard Checker;
    QStringList Reports;
};

TEST_P(X11CopyCheck, AClipboardTakenBeforeTheCopyIsCompleteIsReported)
{
    const TTaking Taking = GetParam().Taking;
    QImage Pixels(40, 30, QImage::Format_RGB32);
    Pixels.fill(qRgb(200, 120, 40));
    Copy(Pixels);
    Checker.CheckCopy(TTrace("copy", false));
    QPointer<const TPictureOffer> Offer = HeldOffer();
    ASSERT_TRUE(Offer) << "the copy holds the clipboard";
    int Encoded = 0;
    QObject::connect(Offer, &TPictureOffer::Encoded, [&Encoded] { ++Encoded; });

    // The other program holds the clipboard once this returns; this thread
    // has not yet looked at any event.
    const QByteArray Theirs = "their own picture";
    std::unique_ptr<TFakeOwner> Other;
    if (Taking != TTaking::Never)
        Other = std::make_unique<TFakeOwner>(Display, TOwnerHabit::AnswersAll, Theirs);

    switch (Taking) {
    case TTaking::Never:
        Gate.Open();
        ASSERT_TRUE(QTest::qWaitFor([&] { return Encoded > 0; }, 10000)) << "the PNG was never ready";
        QCoreApplication::processEvents();
        EXPECT_EQ(Said(), "");
        EXPECT_EQ(HeldOffer(), Offer) << "the copy stands";
        return;
    case TTaking::HeardWhileEncoding:
        ASSERT_TRUE(QTest::qWaitFor([&] { return Offer.isNull(); }, 10000))
            << "Qt did not let go of the offer another program took";
        Gate.Open();
        break;
    case TTaking::AfterEncoded:
        Gate.Open();
        ASSERT_TRUE(DeliverUntil(QEvent::FutureCallOut, [&] { return Encoded > 0; })) << "the PNG was never ready";
        EXPECT_EQ(Said(), NotHeld) << "the check itself asks the X server";
        break;
    case TTaking::NoticedFirst:
        // Qt has not yet heard that its offer was taken (no X event has run);
        // a notice that came ahead of that news is checked first.
        emit QGuiApplication::clipboard()->changed(QClipboard::Clipboard);
        ASSERT_TRUE(DeliverUntil(QEvent::MetaCall, [&] { return !Reports.isEmpty(); }))
            << "the notice's check did not find the clipboard taken";
        Gate.Open();
        ASSERT_TRUE(DeliverUntil(QEvent::FutureCallOut, [&] { return Encoded > 0; })) << "the PNG was never ready";
        break;
    case TTaking::BothWaiting:
        Gate.Open();
        Offer->Png(); // waits for the encoder, not for the event loop
        break;
    }

    EXPECT_TRUE(QTest::qWaitFor([&] { return !Reports.isEmpty(); }, 10000)) << "the lost copy was not reported";
    // Once Qt has heard all of the change, a second report would be there.
    EXPECT_TRUE(QTest::qWaitFor([&] { return Offer.isNull(); }, 10000));
    QCoreApplication::processEvents();
    EXPECT_EQ(Said(), NotHeld);
    EXPECT_TRUE(Other->HoldsClipboard()) << "the other program keeps the clipboard";
    EXPECT_EQ(TX11Selection(Display.constData()).Read("image/png", 10s, 1 << 20).Bytes, Theirs)
        << "and what it offers";
}

INSTANTIATE_TEST_SUITE_P(Orders, X11CopyCheck,
                         ::testing::Values(TTakingRow{"Never", TTaking::Never},
                                           TTakingRow{"HeardWhileEncoding", TTaking::HeardWhileEncoding},
                                           TTakingRow{"AfterEncoded", TTaking::AfterEncoded},
                                           TTakingRow{"BothWaiting", TTaking::BothWaiting},
                                           TTakingRow{"NoticedFirst", TTaking::NoticedFirst}),
                         test::RowName());

using TOutcome = TManagerHandOff::TOutcome;

// A photograph's worth of detail at the largest size a copy has: a gradient
// with grain, which deflates about as well as a blurred photograph.
QImage LargestPicture()
{
    constexpr int Side = 2023;
    QImage Picture(Side, Side, QImage::Format_RGB32);
    for (int Y = 0; Y < Side; ++Y) {
        auto* Row = reinterpret_cast<QRgb*>(Picture.scanLine(Y));
        for (int X = 0; X < Side; ++X) {
            uint32_t Grain = uint32_t(X) * 73856093u ^ uint32_t(Y) * 19349663u;
            Grain = (Grain ^ (Grain >> 13)) * 0x5BD1E995u;
            const int Shift = int((Grain >> 24) & 15);
            Row[X] = qRgb(40 + X / 10 + Shift, 60 + Y / 12 + Shift, 150 + Shift);
        }
    }
    return Picture;
}

struct TManagerRow {
    const char* Name;
    std::optional<TManagerHabit> Habit; // none: no manager runs
    TOutcome Outcome;
};

// The hand-off of the copy that the keeper makes, here with the copy of this
// process, to a fake clipboard manager on its own connection.
class X11ManagerHandOff : public ::testing::TestWithParam<TManagerRow> {
protected:
    void SetUp() override
    {
        HearTheServersClock(Display);
        Clipboard().SetPictureOfferMaker(&TDesktopClipboard::MakeOffer);
    }
    void TearDown() override
    {
        Clipboard().SetPictureOfferMaker(nullptr);
        QGuiApplication::clipboard()->clear();
    }

    const QByteArray Display = qgetenv("DISPLAY");
};

TEST_P(X11ManagerHandOff, AManagerThatSavesEveryTypeGetsTheCopyElseItStays)
{
    const TManagerRow& Row = GetParam();
    std::optional<TFakeManager> Manager;
    if (Row.Habit)
        Manager.emplace(Display, *Row.Habit);
    const QImage Picture = LargestPicture();
    Copy(Picture);
    const QPointer<const TPictureOffer> Offer = HeldOffer();
    ASSERT_TRUE(Offer) << "the copy holds the clipboard";

    std::optional<TOutcome> Outcome;
    const TManagerHandOff HandOff(Row.Outcome == TOutcome::NoAnswer ? 300ms : 20000ms);
    QObject::connect(&HandOff, &TManagerHandOff::Finished, [&Outcome](TOutcome Given) { Outcome = Given; });
    ASSERT_TRUE(QTest::qWaitFor([&Outcome] { return Outcome.has_value(); }, 30000)) << "no end to the hand-off";
    EXPECT_EQ(*Outcome, Row.Outcome);
    if (Row.Outcome != TOutcome::Done) {
        EXPECT_EQ(HeldOffer(), Offer) << "the copy stays with this process";
        return;
    }
    QStringList Types;
    double Total = 0;
    for (const TFakeManager::TSaved& Saved : Manager->Saved()) {
        Types << QString::fromLatin1(Saved.Type);
        Total += Saved.Milliseconds;
        std::printf("%s served in %.0f ms, %.1f MB\n", Saved.Type.constData(), Saved.Milliseconds,
                    double(Saved.Bytes.size()) / 1e6);
        EXPECT_TRUE(test::SamePixels(Picture, QImage::fromData(Saved.Bytes))) << Saved.Type.constData();
    }
    std::printf("every type served in %.0f ms\n", Total);
    EXPECT_EQ(Types, TPictureOffer::OfferedTypes()) << "every type saved, none that loses detail";
    EXPECT_TRUE(Manager->HoldsClipboard()) << "the manager offers its copy";
    EXPECT_TRUE(QTest::qWaitFor([] { return !QGuiApplication::clipboard()->ownsClipboard(); }, 10000));
}

INSTANTIATE_TEST_SUITE_P(
    Managers, X11ManagerHandOff,
    ::testing::Values(TManagerRow{"SavesEverything", TManagerHabit::SavesEverything, TOutcome::Done},
                      TManagerRow{"NeverAnswers", TManagerHabit::NeverAnswers, TOutcome::NoAnswer},
                      TManagerRow{"NoManager", std::nullopt, TOutcome::NoOwner}),
    test::RowName());

// A manager that puts its own copy back whenever the clipboard has no owner
// would take every copy that passed through such a moment.
TEST_F(X11ManagerHandOff, ACopyNeverLeavesTheClipboardWithoutOwner)
{
    TFakeManager Manager(Display, TManagerHabit::RestoresWhenOwnerless);
    QImage Pixels(40, 30, QImage::Format_RGB32);
    for (int Copies = 1; Copies <= 10; ++Copies) {
        Pixels.fill(qRgb(20 * Copies, 120, 40));
        Copy(Pixels);
        ASSERT_NE(HeldOffer(), nullptr) << "copy " << Copies;
    }
    // Once the manager has heard of a later owner, it has heard of every
    // change that the copies made.
    TFakeOwner Later(Display, TOwnerHabit::AnswersAll, QByteArray());
    ASSERT_TRUE(QTest::qWaitFor([&] { return Manager.LastOwnerHeard() == Later.Window(); }, 10000));
    EXPECT_EQ(Manager.OwnerlessMoments(), 0);
    EXPECT_TRUE(Later.HoldsClipboard());
}

} // namespace
} // namespace nebulo
