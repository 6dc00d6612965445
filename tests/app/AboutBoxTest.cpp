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

    // Posts Msg and runs the queue. When the about box shows, WhileShown
    // runs inside its modal loop and must close it. Tells whether it showed.
    bool PostAndWatch(const TMsg& Msg, const std::function<void()>& WhileShown)
    {
        QTimer Watch;
        int Ticks = 0;
        bool Shown = false;
        QObject::connect(&Watch, &QTimer::timeout, [&] {
            if (Box->isVisible()) {
                Watch.stop();
                Shown = true;
                WhileShown();
            } else if (++Ticks > 100) {
                Watch.stop();
            }
        });
        Watch.start(0);
        Application().PostMessage(Msg);
        while (Watch.isActive())
            QCoreApplication::processEvents();
        return Shown;
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

TEST_F(AboutEntry, ShowsTheBoxModallyCentredUntilAClickAnywhereOrAClosingKey)
{
    const QRect Screen = QGuiApplication::primaryScreen()->geometry();
    const QPoint Centre((Screen.width() - 178) / 2, (Screen.height() - 61) / 2);
    const auto ClickOn = [](QWidget* Target) {
        return [=] { QTest::mouseClick(Target, Qt::LeftButton, {}, QPoint(2, 2)); };
    };
    const auto Press = [this](Qt::Key Key) { return [=, this] { QTest::keyClick(Box.get(), Key); }; };
    const std::pair<const char*, std::function<void()>> Closers[] = {{"a click on Label2", ClickOn(Box->Label2)},
                                                                     {"a click on Label4", ClickOn(Box->Label4)},
                                                                     {"a click on Label1", ClickOn(Box->Label1)},
                                                                     {"a click on the box", ClickOn(Box.get())},
                                                                     {"Escape", Press(Qt::Key_Escape)},
                                                                     {"Enter", Press(Qt::Key_Return)},
                                                                     {"Space", Press(Qt::Key_Space)}};
    for (const auto& Closer : Closers) {
        const char* What = Closer.first; // named, as a lambda takes no structured binding
        const std::function<void()>& Close = Closer.second;
        const bool Shown = PostAndWatch(SystemCommandMessage(Window.get(), 97), [&] {
            EXPECT_EQ(QApplication::activeModalWidget(), Box.get()) << "the main window takes no input";
            EXPECT_EQ(Box->pos(), Centre);
            EXPECT_EQ(Box->size(), QSize(178, 61));
            Close();
            if (Box->ModalResult() == mrNone) {
                ADD_FAILURE() << What << " leaves the box open";
                Box->Close();
            }
        });
        EXPECT_TRUE(Shown);
        EXPECT_FALSE(Box->isVisible()) << What << " closes the box";
        EXPECT_EQ(Box->ModalResult(), mrCancel);
    }
    EXPECT_FALSE(Box->Image1->isEnabled()) << "the icon lets clicks through to the box";
}

TEST_F(AboutEntry, OpensWhicheverWindowTheCommandIsFor)
{
    EXPECT_TRUE(PostAndWatch(SystemCommandMessage(Box.get(), 97), [&] { Box->Close(); }));
}

TEST_F(AboutEntry, OtherCommandsKeepTheirNormalEffect)
{
    const auto Close = [&] { Box->Close(); };
    EXPECT_FALSE(PostAndWatch(SystemCommandMessage(Window.get(), 97 + 0xF000), Close)) << "the whole number counts";
    EXPECT_FALSE(PostAndWatch(SystemCommandMessage(Window.get(), SC_MINIMIZE), Close));
    EXPECT_TRUE(Window->isMinimized());
    EXPECT_FALSE(PostAndWatch(SystemCommandMessage(Window.get(), SC_CLOSE), Close));
    EXPECT_FALSE(Window->isVisible());
}

TEST_F(AboutEntry, MessagesKeepFlowingWhileTheBoxIsShown)
{
    const bool Shown = PostAndWatch(SystemCommandMessage(Window.get(), 97), [&] {
        // Both pass the hook and their dispatch inside the box's loop.
        Application().PostMessage(SystemCommandMessage(Window.get(), 97));
        Application().PostMessage(SystemCommandMessage(Window.get(), SC_MINIMIZE));
        QCoreApplication::processEvents();
        Box->Close();
    });
    EXPECT_TRUE(Shown);
    EXPECT_EQ(Reports, std::vector<QString>{"Cannot make a visible window modal"});
    EXPECT_TRUE(Window->isMinimized());
    EXPECT_FALSE(Box->isVisible());
}

} // namespace
} // namespace nebulo
