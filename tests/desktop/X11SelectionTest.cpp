#include "desktop/PasteFetch.h"
#include "desktop/X11Selection.h"
#include "tests/support/Rows.h"
#include "toolkit/core/Exceptions.h"

#include <QProcess>

#include <xcb/xcb.h>

#include <poll.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace nebulo {
namespace {

using namespace std::chrono_literals;
using TOutcome = TX11Selection::TOutcome;

// A private X server for the suite's programs that hold the clipboard.
class TPrivateServer {
public:
    TPrivateServer()
    {
        Server_.start("Xvfb", {"-displayfd", "1", "-screen", "0", "64x64x24", "-nolisten", "tcp", "-noreset"});
        if (Server_.waitForReadyRead(20000))
            Display_ = ":" + Server_.readLine().trimmed();
    }
    ~TPrivateServer()
    {
        Server_.terminate();
        Server_.waitForFinished(5000);
    }
    const QByteArray& Display() const { return Display_; }

private:
    QProcess Server_;
    QByteArray Display_;
};

// How the fake owner treats a request for the picture.
enum class TOwnerHabit { AnswersAll, ListsTypesThenStalls, NeverAnswers, RefusesThePicture };

// A program that holds the clipboard, offering image/png, on its own thread.
class TFakeOwner {
public:
    TFakeOwner(const QByteArray& Display, TOwnerHabit Habit, QByteArray Picture)
        : Habit_(Habit), Picture_(std::move(Picture))
    {
        Connection_ = xcb_connect(Display.constData(), nullptr);
        const xcb_screen_t* Screen = xcb_setup_roots_iterator(xcb_get_setup(Connection_)).data;
        Window_ = xcb_generate_id(Connection_);
        xcb_create_window(Connection_, XCB_COPY_FROM_PARENT, Window_, Screen->root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
        Clipboard_ = Atom("CLIPBOARD");
        Targets_ = Atom("TARGETS");
        Png_ = Atom("image/png");
        xcb_set_selection_owner(Connection_, Window_, Clipboard_, XCB_CURRENT_TIME);
        xcb_flush(Connection_);
        Serving_ = std::thread([this] { Serve(); });
    }
    ~TFakeOwner()
    {
        Stop_ = true;
        Serving_.join();
        xcb_disconnect(Connection_);
    }

private:
    xcb_atom_t Atom(const char* Name)
    {
        xcb_intern_atom_reply_t* Reply = xcb_intern_atom_reply(
            Connection_, xcb_intern_atom(Connection_, 0, uint16_t(strlen(Name)), Name), nullptr);
        const xcb_atom_t Value = Reply->atom;
        std::free(Reply);
        return Value;
    }

    void Answer(const xcb_selection_request_event_t& Request)
    {
        xcb_atom_t Property = Request.property;
        if (Request.target == Targets_) {
            const xcb_atom_t Offered[] = {Targets_, Png_};
            xcb_change_property(Connection_, XCB_PROP_MODE_REPLACE, Request.requestor, Property, XCB_ATOM_ATOM, 32,
                                2, Offered);
        } else if (Habit_ == TOwnerHabit::ListsTypesThenStalls) {
            return;
        } else if (Habit_ == TOwnerHabit::RefusesThePicture) {
            Property = XCB_NONE;
        } else {
            xcb_change_property(Connection_, XCB_PROP_MODE_REPLACE, Request.requestor, Property, Png_, 8,
                                uint32_t(Picture_.size()), Picture_.constData());
        }
        xcb_selection_notify_event_t Notify{};
        Notify.response_type = XCB_SELECTION_NOTIFY;
        Notify.requestor = Request.requestor;
        Notify.selection = Request.selection;
        Notify.target = Request.target;
        Notify.property = Property;
        Notify.time = Request.time;
        xcb_send_event(Connection_, 0, Request.requestor, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&Notify));
        xcb_flush(Connection_);
    }

    void Serve()
    {
        while (!Stop_) {
            pollfd Socket{xcb_get_file_descriptor(Connection_), POLLIN, 0};
            ::poll(&Socket, 1, 20);
            while (xcb_generic_event_t* Event = xcb_poll_for_event(Connection_)) {
                if ((Event->response_type & 0x7F) == XCB_SELECTION_REQUEST && Habit_ != TOwnerHabit::NeverAnswers)
                    Answer(*reinterpret_cast<xcb_selection_request_event_t*>(Event));
                std::free(Event);
            }
        }
    }

    TOwnerHabit Habit_;
    QByteArray Picture_;
    xcb_connection_t* Connection_ = nullptr;
    xcb_window_t Window_ = 0;
    xcb_atom_t Clipboard_ = 0, Targets_ = 0, Png_ = 0;
    std::atomic<bool> Stop_{false};
    std::thread Serving_;
};

struct TOwnerRow {
    const char* Name;
    TOwnerHabit Habit;
    TOutcome TargetsOutcome;
    TOutcome PictureOutcome;
};

class ClipboardOwner : public ::testing::TestWithParam<TOwnerRow> {
protected:
    static void SetUpTestSuite() { Server = new TPrivateServer; }
    static void TearDownTestSuite() { delete Server; }
    void SetUp() override
    {
        if (Server->Display().isEmpty())
            GTEST_SKIP() << "no X server could be started";
    }
    static TPrivateServer* Server;
};

TPrivateServer* ClipboardOwner::Server = nullptr;

constexpr auto Patience = 300ms;

TEST_P(ClipboardOwner, IsGivenUpOnWhereItDoesNotAnswer)
{
    const QByteArray Picture(5000, 'p');
    TFakeOwner Owner(Server->Display(), GetParam().Habit, Picture);
    TX11Selection Selection(Server->Display().constData());
    const TX11Selection::TTargets Offered = Selection.Targets(Patience);
    EXPECT_EQ(Offered.Outcome, GetParam().TargetsOutcome);
    if (Offered.Outcome != TOutcome::Done)
        return;
    EXPECT_EQ(Offered.Names, QList<QByteArray>({"TARGETS", "image/png"}));
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
    Habits, ClipboardOwner,
    ::testing::Values(TOwnerRow{"AnswersAll", TOwnerHabit::AnswersAll, TOutcome::Done, TOutcome::Done},
                      TOwnerRow{"ListsTypesThenStalls", TOwnerHabit::ListsTypesThenStalls, TOutcome::Done,
                                TOutcome::NoAnswer},
                      TOwnerRow{"NeverAnswers", TOwnerHabit::NeverAnswers, TOutcome::NoAnswer, TOutcome::NoAnswer},
                      TOwnerRow{"RefusesThePicture", TOwnerHabit::RefusesThePicture, TOutcome::Done,
                                TOutcome::Refused}),
    test::RowName());

TEST_F(ClipboardOwner, APasteFromAStalledOwnerEndsInTheMessage)
{
    TFakeOwner Owner(Server->Display(), TOwnerHabit::ListsTypesThenStalls, QByteArray());
    const TFetchResult Result = FetchFromOwner(Server->Display(), PastePreferences(), TTrace("paste", false));
    ASSERT_TRUE(Result.Failure);
    try {
        std::rethrow_exception(Result.Failure);
    } catch (const Exception& Error) {
        EXPECT_STREQ(Error.what(), "The program holding the clipboard did not answer");
    }
    EXPECT_TRUE(Result.Picture.Pixels.isNull());
}

TEST_F(ClipboardOwner, WithoutAnOwnerThereIsNothingToPaste)
{
    TX11Selection Selection(Server->Display().constData());
    EXPECT_FALSE(Selection.HasOwner());
    EXPECT_EQ(Selection.Targets(Patience).Outcome, TOutcome::NoOwner);
    const TFetchResult Result = FetchFromOwner(Server->Display(), PastePreferences(), TTrace("paste", false));
    EXPECT_FALSE(Result.Failure);
    EXPECT_TRUE(Result.Picture.Pixels.isNull());
}

} // namespace
} // namespace nebulo
