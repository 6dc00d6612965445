#include "app/About.h"
#include "app/Blur1.h"
#include "toolkit/widgets/Application.h"
#include "toolkit/widgets/Image.h"
#include "toolkit/widgets/Label.h"
#include "toolkit/widgets/SystemMenu.h"

#include <QApplication>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace nebulo {
namespace {

class AboutEntry : public ::testing::Test {
protected:
    void SetUp() override
    {
        Application().SetErrorReport([this](const QString& Message) { Reports.push_back(Message); });
        Window = std::make_unique<TForm1>();
        Box = std::make_unique<TAboutBox>();
        AboutBox = Box.get();
        Window->show();
    }
    void TearDown() override
    {
        Application().OnMessage = nullptr;
        AboutBox = nullptr;
    }

    // Posts Msg and runs the queue until Inspect has looked at the shown box
    // and closed it, or nothing opened.
    void PostAndInspect(const TMsg& Msg, const std::function<void()>& Inspect)
    {
        QTimer::singleShot(0, [&] { Inspect(); });
        Application().PostMessage(Msg);
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }

    std::unique_ptr<TForm1> Window;
    std::unique_ptr<TAboutBox> Box;
    std::vector<QString> Reports;
};

TEST_F(AboutEntry, EndsTheSystemMenu)
{
    const auto& Items = GetSystemMenu(Window.get(), false)->Items();
    ASSERT_GE(Items.size(), 2u);
    EXPECT_EQ(Items[Items.size() - 2].Flags, MF_SEPARATOR);
    EXPECT_EQ(Items.back().Flags, MF_BYPOSITION);
    EXPECT_EQ(Items.back().Id, 97u);
    EXPECT_EQ(Items.back().Text, "&About Nebulo");
    EXPECT_EQ(Items.front().Id, SC_RESTORE) << "the standard commands come first";
}

TEST_F(AboutEntry, ShowsTheBoxModallyCentredUntilAClickAnywhere)
{
    const QRect Screen = QGuiApplication::primaryScreen()->geometry();
    const QPoint Centre((Screen.width() - 178) / 2, (Screen.height() - 61) / 2);
    int Shown = 0;
    for (QWidget* Target : std::vector<QWidget*>{Box->Label2, Box->Label4, Box->Label1, Box.get()}) {
        GetSystemMenu(Window.get(), false)->Choose(97);
        QTimer::singleShot(0, [&, Target] {
            ++Shown;
            EXPECT_TRUE(Box->isVisible());
            EXPECT_EQ(QApplication::activeModalWidget(), Box.get()) << "the main window takes no input";
            EXPECT_EQ(Box->pos(), Centre);
            EXPECT_EQ(Box->size(), QSize(178, 61));
            QTest::mouseClick(Target, Qt::LeftButton, {}, QPoint(2, 2));
        });
        QCoreApplication::processEvents();
        EXPECT_FALSE(Box->isVisible()) << Target->objectName().toStdString() << " closes the box";
        EXPECT_EQ(Box->ModalResult(), mrCancel);
    }
    EXPECT_EQ(Shown, 4);
    EXPECT_FALSE(Box->Image1->isEnabled()) << "the icon lets clicks through to the box";
}

TEST_F(AboutEntry, OpensWhicheverWindowTheCommandIsFor)
{
    bool Opened = false;
    PostAndInspect(SystemCommandMessage(Box.get(), 97), [&] {
        Opened = Box->isVisible();
        Box->Close();
    });
    EXPECT_TRUE(Opened);
}

TEST_F(AboutEntry, OtherCommandsKeepTheirNormalEffect)
{
    bool Opened = false;
    PostAndInspect(SystemCommandMessage(Window.get(), 97 + 0xF000), [&] { Opened = Box->isVisible(); });
    EXPECT_FALSE(Opened) << "the whole number is compared";
    PostAndInspect(SystemCommandMessage(Window.get(), SC_MINIMIZE), [&] { Opened = Box->isVisible(); });
    EXPECT_FALSE(Opened);
    EXPECT_TRUE(Window->isMinimized());
    PostAndInspect(SystemCommandMessage(Window.get(), SC_CLOSE), [] {});
    EXPECT_FALSE(Window->isVisible());
}

TEST_F(AboutEntry, MessagesKeepFlowingWhileTheBoxIsShown)
{
    PostAndInspect(SystemCommandMessage(Window.get(), 97), [&] {
        // Both reach the queue's hook and dispatch inside the box's loop.
        Application().PostMessage(SystemCommandMessage(Window.get(), 97));
        Application().PostMessage(SystemCommandMessage(Window.get(), SC_MINIMIZE));
        QTimer::singleShot(0, [&] { Box->Close(); });
    });
    EXPECT_EQ(Reports, std::vector<QString>{"Cannot make a visible window modal"});
    EXPECT_TRUE(Window->isMinimized());
    EXPECT_FALSE(Box->isVisible());
}

} // namespace
} // namespace nebulo
