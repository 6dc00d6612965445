#include "toolkit/core/Exceptions.h"
#include "toolkit/widgets/Application.h"
#include "toolkit/widgets/Form.h"
#include "toolkit/widgets/Label.h"
#include "toolkit/widgets/SpeedButton.h"

#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <string>
#include <vector>

namespace nebulo {
namespace {

TEST(Form, ModalShowRunsUntilClosedAndHidesTheForm)
{
    TForm Box;
    QTimer::singleShot(0, &Box, [&] {
        EXPECT_TRUE(Box.isVisible());
        EXPECT_EQ(Box.windowModality(), Qt::ApplicationModal);
        Box.Close();
        EXPECT_TRUE(Box.isVisible()) << "closing a modal form only sets its result";
    });
    EXPECT_EQ(Box.ShowModal(), mrCancel);
    EXPECT_FALSE(Box.isVisible());
    EXPECT_EQ(Box.ModalResult(), mrCancel);
}

TEST(Form, RefusesAModalShowWhileVisible)
{
    TForm Box;
    Box.show();
    try {
        Box.ShowModal();
        FAIL() << "a visible form cannot be shown modally";
    } catch (const EInvalidOperation& Error) {
        EXPECT_STREQ(Error.what(), "Cannot make a visible window modal");
    }
}

TEST(Form, WindowCloseOfAModalFormEndsTheModalShow)
{
    TForm Box;
    QTimer::singleShot(0, &Box, [&] { Box.close(); });
    EXPECT_EQ(Box.ShowModal(), mrCancel);
}

TEST(ApplicationQueue, HandsEveryMessageToTheHookBeforeItsDispatch)
{
    TForm Window;
    Window.show();
    std::vector<uintptr_t> Seen;
    bool ClosedWhenHookRan = true;
    Application().OnMessage = [&](TMsg& Msg, bool& Handled) {
        Seen.push_back(Msg.WParam);
        ClosedWhenHookRan = !Window.isVisible();
        Handled = Msg.WParam == 1;
    };
    Application().PostMessage(SystemCommandMessage(&Window, 1));
    Application().PostMessage(SystemCommandMessage(&Window, SC_CLOSE));
    QCoreApplication::processEvents();
    Application().OnMessage = nullptr;
    EXPECT_EQ(Seen, (std::vector<uintptr_t>{1, SC_CLOSE}));
    EXPECT_FALSE(ClosedWhenHookRan) << "the hook runs before the dispatch";
    EXPECT_FALSE(Window.isVisible()) << "the close command reached the window";
}

TEST(ApplicationQueue, AFailingHookGoesToTheErrorReportAndTheMessageGoesOn)
{
    struct TFailure {
        std::function<void()> Throw; // what the hook does
        std::string Said;            // what the report says
    };
    const TFailure Failures[] = {
        {[] { throw EInvalidOperation("hook failed"); }, "hook failed"},
        {[] { throw std::bad_alloc(); }, "Out of memory"},
    };
    for (const TFailure& Failure : Failures) {
        std::vector<std::string> Reports;
        Application().SetErrorReport([&](const QString& Message) { Reports.push_back(Message.toStdString()); });
        TForm Window;
        Window.show();
        Application().OnMessage = [&](TMsg&, bool&) { Failure.Throw(); };
        Application().PostMessage(SystemCommandMessage(&Window, SC_CLOSE));
        QCoreApplication::processEvents();
        Application().OnMessage = nullptr;
        EXPECT_EQ(Reports, std::vector<std::string>{Failure.Said});
        EXPECT_FALSE(Window.isVisible()) << Failure.Said;
    }
}

TEST(SpeedButton, GroupedButtonsAreExclusiveAndStayDown)
{
    QWidget Parent;
    TSpeedButton Move(&Parent), Zoom(&Parent), Plain(&Parent);
    Move.SetGroupIndex(1);
    Zoom.SetGroupIndex(1);
    EXPECT_FALSE(Move.Down());
    EXPECT_FALSE(Zoom.Down()) << "initially no button is down";
    QTest::mouseClick(&Move, Qt::LeftButton);
    EXPECT_TRUE(Move.Down());
    QTest::mouseClick(&Zoom, Qt::LeftButton);
    EXPECT_TRUE(Zoom.Down());
    EXPECT_FALSE(Move.Down());
    QTest::mouseClick(&Zoom, Qt::LeftButton);
    EXPECT_TRUE(Zoom.Down()) << "pressing the down button leaves it down";
    Move.SetDown(true);
    EXPECT_FALSE(Zoom.Down());
    int Clicks = 0;
    QObject::connect(&Plain, &TSpeedButton::Click, [&] { ++Clicks; });
    QTest::mouseClick(&Plain, Qt::LeftButton);
    EXPECT_EQ(Clicks, 1);
    EXPECT_FALSE(Plain.Down()) << "a plain push button never stays down";
}

TEST(Label, AutoSizeFitsTheTextKeepingTheLeftEdge)
{
    TLabel Label;
    Label.setGeometry(150, 205, 15, 13);
    Label.SetCaption("0");
    Label.SetAutoSize(true);
    EXPECT_EQ(Label.geometry(), QRect(150, 205, 15, 13)) << "no change, no resize";
    Label.SetCaption("12.5");
    EXPECT_EQ(Label.x(), 150);
    EXPECT_EQ(Label.width(), Label.fontMetrics().horizontalAdvance("12.5"));
}

} // namespace
} // namespace nebulo
