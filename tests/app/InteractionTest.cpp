#include "app/Announcer.h"
#include "app/Blur1.h"
#include "tests/app/WindowHarness.h"
#include "tests/support/Rows.h"
#include "tests/support/SamePixels.h"
#include "toolkit/core/Bitmap.h"
#include "toolkit/widgets/Application.h"
#include "toolkit/widgets/CheckBox.h"
#include "toolkit/widgets/FormatSettings.h"
#include "toolkit/widgets/SpeedButton.h"
#include "toolkit/widgets/TrackBar.h"
#include "view/ZImage.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <sstream>
#include <string>

namespace nebulo {
namespace {

using test::Pattern;
using test::PrintTo;
using TAction = std::function<void(TForm1&)>;

constexpr Qt::KeyboardModifiers Ctrl = Qt::ControlModifier;
const QPoint ViewCentre(123, 92);

TAction Key(int Key, Qt::KeyboardModifiers Modifiers = {})
{
    return [=](TForm1& Window) { QTest::keyClick(&Window, Qt::Key(Key), Modifiers); };
}

TAction Press(TSpeedButton* TForm1::*Button)
{
    return [=](TForm1& Window) { QTest::mouseClick(Window.*Button, Qt::LeftButton); };
}

// The key pressed while the control has the focus.
TAction KeyOn(TSpeedButton* TForm1::*Button, int Key, Qt::KeyboardModifiers Modifiers = {})
{
    return [=](TForm1& Window) { QTest::keyClick(Window.*Button, Qt::Key(Key), Modifiers); };
}

TAction PressView(Qt::MouseButton Button, Qt::KeyboardModifiers Modifiers = {})
{
    return [=](TForm1& Window) { QTest::mouseClick(Window.ZImage1, Button, Modifiers, ViewCentre); };
}

TAction CtrlWheel(int Delta)
{
    return [=](TForm1& Window) {
        QWheelEvent Turn(QPointF(ViewCentre), QPointF(Window.ZImage1->mapToGlobal(ViewCentre)), QPoint(),
                         QPoint(0, Delta), Qt::NoButton, Ctrl, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(Window.ZImage1, &Turn);
    };
}

void Offer(const QImage& Picture)
{
    QGuiApplication::clipboard()->setImage(Picture);
}

QImage ViewPixels(TForm1& Window)
{
    return Window.ZImage1->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Everything a person can see of the window, and the clipboard.
struct TSeen {
    std::string Controls;
    QImage Picture;
    QImage View;
    QImage Clipboard;
};

TSeen Seen(TForm1& Window)
{
    TZImage& View = *Window.ZImage1;
    const TRect& Source = View.SourceRect();
    std::ostringstream Controls;
    Controls << "tool " << int(View.SelectedTool()) << ", move down " << Window.SpeedButton1->Down()
             << ", zoom down " << Window.SpeedButton2->Down() << ", factor " << View.ZoomFactor() << ", source ("
             << Source.Left << ", " << Source.Top << ", " << Source.Right << ", " << Source.Bottom << "), dest ("
             << View.DestRect().Right << ", " << View.DestRect().Bottom << "), awake "
             << Window.SpeedButton5->isEnabled();
    return {Controls.str(), View.Bitmap()->ToRgb32(), ViewPixels(Window),
            QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32)};
}

void ExpectSame(const TSeen& Actual, const TSeen& Expected)
{
    EXPECT_EQ(Actual.Controls, Expected.Controls);
    EXPECT_TRUE(Actual.Picture == Expected.Picture) << "the pictures differ";
    EXPECT_TRUE(Actual.View == Expected.View) << "the views' pixels differ";
    EXPECT_TRUE(Actual.Clipboard == Expected.Clipboard) << "the clipboards differ";
}

class Interaction : public ::testing::Test {
protected:
    void SetUp() override
    {
        Application().SetErrorReport([this](const QString& Message) { Reports.push_back(Message); });
        QGuiApplication::clipboard()->clear();
        SetDecimalSeparator('.');
    }
    void TearDown() override
    {
        Application().OnMessage = nullptr;
        SetDecimalSeparator('.');
    }

    std::unique_ptr<TForm1> PastedWindow(const QImage& Picture)
    {
        auto Window = std::make_unique<TForm1>();
        Offer(Picture);
        QTest::mouseClick(Window->SpeedButton4, Qt::LeftButton);
        return Window;
    }
    static QImage Shown(TForm1& Window) { return Window.ZImage1->Bitmap()->ToRgb32(); }
    static void SetBlur(TForm1& Window, int Position, bool Border)
    {
        Window.TrackBar1->SetPosition(Position);
        Window.CheckBox1->setChecked(Border);
    }

    std::vector<QString> Reports;
};

struct TShortcutRow {
    const char* Name;
    TAction Prepare; // on both windows, after the paste
    TAction ByKey;
    TAction ByButton;
};

class Shortcut : public Interaction, public ::testing::WithParamInterface<TShortcutRow> {};

// One window takes the key, the other the button or press; what shows and
// what lands on the clipboard must be the same.
TEST_P(Shortcut, DoesWhatItsButtonDoes)
{
    const TShortcutRow& Row = GetParam();
    TSeen States[2];
    for (int Side = 0; Side < 2; ++Side) {
        const auto Window = PastedWindow(Pattern(300, 200));
        SetBlur(*Window, 30, true);
        QGuiApplication::clipboard()->clear();
        if (Row.Prepare)
            Row.Prepare(*Window);
        (Side == 0 ? Row.ByKey : Row.ByButton)(*Window);
        States[Side] = Seen(*Window);
    }
    ExpectSame(States[0], States[1]);
    EXPECT_TRUE(Reports.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Keys, Shortcut,
    ::testing::Values(
        TShortcutRow{"CtrlV", [](TForm1&) { Offer(Pattern(50, 40)); }, Key(Qt::Key_V, Ctrl),
                     Press(&TForm1::SpeedButton4)},
        TShortcutRow{"CtrlC", {}, Key(Qt::Key_C, Ctrl), Press(&TForm1::SpeedButton3)},
        TShortcutRow{"CtrlB", {}, Key(Qt::Key_B, Ctrl), Press(&TForm1::SpeedButton5)},
        TShortcutRow{"CtrlBFromTheFocusedSlider",
                     {},
                     [](TForm1& Window) { QTest::keyClick(Window.TrackBar1, Qt::Key_B, Ctrl); },
                     Press(&TForm1::SpeedButton5)},
        TShortcutRow{"M", {}, Key(Qt::Key_M), Press(&TForm1::SpeedButton1)},
        TShortcutRow{"Z", Press(&TForm1::SpeedButton1), Key(Qt::Key_Z), Press(&TForm1::SpeedButton2)},
        TShortcutRow{"CtrlPlus", {}, Key(Qt::Key_Plus, Ctrl), PressView(Qt::LeftButton)},
        TShortcutRow{"CtrlMinus", {}, Key(Qt::Key_Minus, Ctrl), PressView(Qt::RightButton)},
        TShortcutRow{"Ctrl0",
                     [](TForm1& Window) {
                         PressView(Qt::LeftButton)(Window);
                         PressView(Qt::LeftButton)(Window);
                     },
                     Key(Qt::Key_0, Ctrl), PressView(Qt::LeftButton, Qt::ShiftModifier)},
        TShortcutRow{"CtrlPlusWithTheMoveToolZoomsAsAZoomPress", Press(&TForm1::SpeedButton1),
                     [](TForm1& Window) {
                         Key(Qt::Key_Plus, Ctrl)(Window);
                         Press(&TForm1::SpeedButton1)(Window);
                     },
                     [](TForm1& Window) {
                         Press(&TForm1::SpeedButton2)(Window);
                         PressView(Qt::LeftButton)(Window);
                         Press(&TForm1::SpeedButton1)(Window);
                     }},
        TShortcutRow{"SpaceOnTheFocusedPaste", [](TForm1&) { Offer(Pattern(50, 40)); },
                     KeyOn(&TForm1::SpeedButton4, Qt::Key_Space), Press(&TForm1::SpeedButton4)},
        TShortcutRow{
            "SpaceOnTheFocusedCopy", {}, KeyOn(&TForm1::SpeedButton3, Qt::Key_Space), Press(&TForm1::SpeedButton3)},
        TShortcutRow{
            "EnterOnTheFocusedBlur", {}, KeyOn(&TForm1::SpeedButton5, Qt::Key_Return), Press(&TForm1::SpeedButton5)},
        TShortcutRow{"KeypadEnterOnTheFocusedMoveTool",
                     {},
                     KeyOn(&TForm1::SpeedButton1, Qt::Key_Enter, Qt::KeypadModifier),
                     Press(&TForm1::SpeedButton1)},
        TShortcutRow{"SpaceOnTheFocusedZoomToolThatIsDown",
                     {},
                     KeyOn(&TForm1::SpeedButton2, Qt::Key_Space),
                     Press(&TForm1::SpeedButton2)},
        TShortcutRow{"SpaceOnTheFocusedAddBorderThenBlur",
                     {},
                     [](TForm1& Window) {
                         QTest::keyClick(Window.CheckBox1, Qt::Key_Space);
                         Press (&TForm1::SpeedButton5)(Window);
                     },
                     [](TForm1& Window) {
                         QTest::mouseClick(Window.CheckBox1, Qt::LeftButton);
                         Press (&TForm1::SpeedButton5)(Window);
                     }},
        TShortcutRow{"CtrlWheelAway", {}, CtrlWheel(120), PressView(Qt::LeftButton)},
        TShortcutRow{"CtrlWheelToward", {}, CtrlWheel(-120), PressView(Qt::RightButton)}),
    test::RowName());

// Before the first paste only Paste is awake; the keys of the others do nothing.
TEST_F(Interaction, KeysOfSleepingControlsDoNothing)
{
    TForm1 Untouched;
    const TSeen Before = Seen(Untouched);
    TForm1 Window;
    const int Keys[][2] = {{Qt::Key_C, Ctrl},     {Qt::Key_B, Ctrl},    {Qt::Key_M, 0},       {Qt::Key_Z, 0},
                           {Qt::Key_Plus, Ctrl},  {Qt::Key_Minus, Ctrl}, {Qt::Key_0, Ctrl},   {Qt::Key_Z, Ctrl},
                           {Qt::Key_Y, Ctrl}};
    for (const auto& Pressed : Keys)
        Key(Pressed[0], Qt::KeyboardModifiers(Pressed[1]))(Window);
    CtrlWheel(120)(Window);
    ExpectSame(Seen(Window), Before);
    EXPECT_TRUE(Reports.empty());
}

TEST_F(Interaction, TakesBlursBackAndRedoesThemKeepingTheZoom)
{
    const auto Window = PastedWindow(Pattern(100, 80));
    PressView(Qt::LeftButton)(*Window);
    std::vector<QImage> Steps{Shown(*Window)};
    for (const bool Border : {true, false, true}) {
        SetBlur(*Window, 20, Border);
        Key(Qt::Key_B, Ctrl)(*Window);
        Steps.push_back(Shown(*Window));
    }
    ASSERT_EQ(Steps.back().size(), QSize(108, 88));
    for (int Step = 2; Step >= 0; --Step) {
        Key(Qt::Key_Z, Ctrl)(*Window);
        EXPECT_TRUE(test::SamePixels(Steps[size_t(Step)], Shown(*Window))) << "step " << Step;
        EXPECT_EQ(Window->ZImage1->ZoomFactor(), 512);
        EXPECT_LE(Window->ZImage1->SourceRect().Right, Steps[size_t(Step)].width());
    }
    Key(Qt::Key_Z, Ctrl)(*Window);
    EXPECT_TRUE(test::SamePixels(Steps[0], Shown(*Window))) << "the picture as pasted is the first step";
    Key(Qt::Key_Z, Ctrl | Qt::ShiftModifier)(*Window);
    EXPECT_TRUE(test::SamePixels(Steps[1], Shown(*Window)));
    EXPECT_EQ(Window->ZImage1->accessibleName().toStdString(), "Picture, 104 × 84 pixels");
    const auto* Announcer = Window->findChild<TAnnouncer*>();
    ASSERT_NE(Announcer, nullptr);
    EXPECT_EQ(Announcer->accessibleName().toStdString(), "Blur redone: picture, 104 × 84 pixels");
    Key(Qt::Key_Y, Ctrl)(*Window);
    EXPECT_TRUE(test::SamePixels(Steps[2], Shown(*Window)));

    // A Blur now works on the picture shown and drops the step ahead.
    SetBlur(*Window, 50, false);
    QTest::mouseClick(Window->SpeedButton5, Qt::LeftButton);
    const QImage Branch = Shown(*Window);
    EXPECT_NE(Branch, Steps[3]);
    Key(Qt::Key_Y, Ctrl)(*Window);
    EXPECT_TRUE(test::SamePixels(Branch, Shown(*Window))) << "nothing left to redo";
    Key(Qt::Key_Z, Ctrl)(*Window);
    EXPECT_TRUE(test::SamePixels(Steps[2], Shown(*Window)));

    // A paste starts over.
    Offer(Pattern(30, 20));
    Key(Qt::Key_V, Ctrl)(*Window);
    Key(Qt::Key_Z, Ctrl)(*Window);
    EXPECT_TRUE(test::SamePixels(Pattern(30, 20), Shown(*Window)));
}

struct TCompareRow {
    const char* Name;
    int ZoomIns;
    TAction Hold;
    TAction Release;
};

class Compare : public Interaction, public ::testing::WithParamInterface<TCompareRow> {};

// At 100 % and 200 % each view pixel is one picture pixel of the shown part.
void ExpectShows(const QImage& View, const QImage& Picture, const TRect& Source, int Scale, const char* What)
{
    for (int Y = 0; Y < View.height(); ++Y)
        for (int X = 0; X < View.width(); ++X) {
            const QRgb Expected = Picture.pixel(Source.Left + X / Scale, Source.Top + Y / Scale);
            if (View.pixel(X, Y) != Expected) {
                ADD_FAILURE() << What << ": view pixel (" << X << ", " << Y << ") is " << std::hex << View.pixel(X, Y)
                              << ", expected " << Expected;
                return;
            }
        }
}

TEST_P(Compare, ShowsThePictureAsPastedWhileHeld)
{
    const TCompareRow& Row = GetParam();
    const QImage Original = Pattern(300, 200);
    const auto Window = PastedWindow(Original);
    for (int Step = 0; Step < Row.ZoomIns; ++Step)
        PressView(Qt::LeftButton)(*Window);
    SetBlur(*Window, 30, true);
    QTest::mouseClick(Window->SpeedButton5, Qt::LeftButton);
    const QImage Current = Shown(*Window);
    const TRect Source = Window->ZImage1->SourceRect();
    const int Scale = 1 << Row.ZoomIns;

    Row.Hold(*Window);
    ExpectShows(ViewPixels(*Window), Original, Source, Scale, "held");
    EXPECT_TRUE(test::SamePixels(Current, Shown(*Window))) << "the picture itself stays";
    EXPECT_EQ(Window->ZImage1->SourceRect(), Source);
    Row.Release(*Window);
    ExpectShows(ViewPixels(*Window), Current, Source, Scale, "released");
}

INSTANTIATE_TEST_SUITE_P(
    Holds, Compare,
    ::testing::Values(
        TCompareRow{"BackslashAt100", 0, [](TForm1& W) { QTest::keyPress(&W, Qt::Key_Backslash); },
                    [](TForm1& W) { QTest::keyRelease(&W, Qt::Key_Backslash); }},
        TCompareRow{"BackslashAt200", 1, [](TForm1& W) { QTest::keyPress(&W, Qt::Key_Backslash); },
                    [](TForm1& W) { QTest::keyRelease(&W, Qt::Key_Backslash); }},
        TCompareRow{"BackslashUntilTheWindowLosesTheKeyboard", 0,
                    [](TForm1& W) { QTest::keyPress(&W, Qt::Key_Backslash); },
                    [](TForm1& W) {
                        QEvent Away(QEvent::WindowDeactivate);
                        QCoreApplication::sendEvent(&W, &Away);
                    }},
        TCompareRow{"MiddleButtonAt100", 0,
                    [](TForm1& W) { QTest::mousePress(W.ZImage1, Qt::MiddleButton, {}, ViewCentre); },
                    [](TForm1& W) { QTest::mouseRelease(W.ZImage1, Qt::MiddleButton, {}, ViewCentre); }},
        TCompareRow{"MiddleButtonAt200", 1,
                    [](TForm1& W) { QTest::mousePress(W.ZImage1, Qt::MiddleButton, {}, ViewCentre); },
                    [](TForm1& W) { QTest::mouseRelease(W.ZImage1, Qt::MiddleButton, {}, ViewCentre); }}),
    test::RowName());

struct TDropRow {
    const char* Name;
    std::function<void(QMimeData&, const QDir&)> Fill;
    bool Taken;
};

class Drop : public Interaction, public ::testing::WithParamInterface<TDropRow> {};

// A drop is a paste of the dropped picture; one that brings none is
// reported and leaves the picture shown.
TEST_P(Drop, PastesThePictureOrSaysWhyNot)
{
    QTemporaryDir Folder;
    ASSERT_TRUE(Folder.isValid());
    Pattern(40, 30).save(Folder.filePath("dropped.png"));
    QFile Text(Folder.filePath("notes.txt"));
    ASSERT_TRUE(Text.open(QIODevice::WriteOnly));
    Text.write("no picture");
    Text.close();

    const auto Window = PastedWindow(Pattern(60, 50));
    Press(&TForm1::SpeedButton1)(*Window);
    PressView(Qt::LeftButton)(*Window);
    const TSeen Before = Seen(*Window);
    QMimeData Data;
    GetParam().Fill(Data, QDir(Folder.path()));
    QDragEnterEvent Enter(QPoint(100, 100), Qt::CopyAction, &Data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(Window.get(), &Enter);
    EXPECT_TRUE(Enter.isAccepted());
    QDropEvent Dropped(QPointF(100, 100), Qt::CopyAction, &Data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(Window.get(), &Dropped);

    if (!GetParam().Taken) {
        ASSERT_EQ(Reports.size(), 1u);
        EXPECT_EQ(Reports[0].toStdString(), "\"notes.txt\" is not a picture Nebulo can read");
        ExpectSame(Seen(*Window), Before);
        return;
    }
    EXPECT_TRUE(Reports.empty());
    EXPECT_TRUE(test::SamePixels(Pattern(40, 30), Shown(*Window)));
    EXPECT_EQ(Window->ZImage1->ZoomFactor(), 256);
    EXPECT_EQ(Window->ZImage1->SelectedTool(), TTool::Zoom);
    EXPECT_TRUE(Window->SpeedButton2->Down());
    EXPECT_FALSE(Window->SpeedButton1->Down());
    // The same as a paste of the same picture.
    const auto Pasted = PastedWindow(Pattern(40, 30));
    ExpectSame(Seen(*Window), Seen(*Pasted));
    // And a new history: taking back a Blur ends at the dropped picture.
    SetBlur(*Window, 40, true);
    Key(Qt::Key_B, Ctrl)(*Window);
    Key(Qt::Key_Z, Ctrl)(*Window);
    Key(Qt::Key_Z, Ctrl)(*Window);
    EXPECT_TRUE(test::SamePixels(Pattern(40, 30), Shown(*Window)));
}

INSTANTIATE_TEST_SUITE_P(
    Drops, Drop,
    ::testing::Values(TDropRow{"PngFile",
                               [](QMimeData& D, const QDir& F) {
                                   D.setUrls({QUrl::fromLocalFile(F.filePath("dropped.png"))});
                               },
                               true},
                      TDropRow{"PictureData", [](QMimeData& D, const QDir&) { D.setImageData(Pattern(40, 30)); },
                               true},
                      TDropRow{"TextFile",
                               [](QMimeData& D, const QDir& F) {
                                   D.setUrls({QUrl::fromLocalFile(F.filePath("notes.txt"))});
                               },
                               false}),
    test::RowName());

TEST_F(Interaction, ButtonHintsNameTheirKeys)
{
    TForm1 Window;
    const std::pair<QWidget*, const char*> Hints[] = {
        {Window.SpeedButton4, "Paste from Clipboard (Ctrl+V)"},
        {Window.SpeedButton3, "Copy to Clipboard (Ctrl+C)"},
        {Window.SpeedButton1, "Move Tool (M)"},
        {Window.SpeedButton2,
         "Zoom Tool (Z)\nCtrl+plus zooms in, Ctrl+minus out, Ctrl+0 back to 100 %; so does Ctrl+wheel"},
        {Window.TrackBar1, "Blur Amount: 0\nAt 0 a Blur changes nothing"}};
    for (auto [Control, Hint] : Hints)
        EXPECT_EQ(Control->toolTip().toStdString(), Hint);
    EXPECT_TRUE(Window.SpeedButton5->toolTip().startsWith("Blur (Ctrl+B) at 0\nAt 0 a Blur changes nothing\n"));
}

// The hints follow the slider, the check box, each paste, Blur and step back.
TEST_F(Interaction, BlurHintsFollowTheWindow)
{
    const auto Window = PastedWindow(Pattern(100, 80));
    const std::pair<TAction, const char*> Steps[] = {
        {[](TForm1& W) { W.TrackBar1->SetPosition(15); }, "Blur Amount: 1.5\nσ 0.375 pixels, 3 taps"},
        {[](TForm1& W) { W.CheckBox1->setChecked(true); },
         "Blur Amount: 1.5\nσ 0.375 pixels, 3 taps\nWith the border the result is 103 × 83 pixels"},
        {Key(Qt::Key_B, Ctrl),
         "Blur Amount: 1.5\nσ 0.375 pixels, 3 taps\nWith the border the result is 106 × 86 pixels"},
        {Key(Qt::Key_Z, Ctrl),
         "Blur Amount: 1.5\nσ 0.375 pixels, 3 taps\nWith the border the result is 103 × 83 pixels"},
        {[](TForm1& W) {
             SetDecimalSeparator(',');
             W.TrackBar1->SetPosition(10);
         },
         "Blur Amount: 1\nσ 0,25 pixels, 1 tap\nOne tap: a Blur at this amount only adds the border, "
         "giving 103 × 83 pixels"},
        {[](TForm1& W) {
             Offer(Pattern(2022, 20));
             Key(Qt::Key_V, Ctrl)(W);
         },
         "Blur Amount: 1\nσ 0,25 pixels, 1 tap\nThe picture is 2025 × 23 pixels with the border, over the "
         "2023-pixel limit: a Blur changes nothing"}};
    for (const auto& [Action, Hint] : Steps) {
        Action(*Window);
        EXPECT_EQ(Window->TrackBar1->toolTip().toStdString(), Hint);
        EXPECT_TRUE(Window->SpeedButton5->toolTip().contains(QString(Hint).section('\n', 1)));
    }
}

} // namespace
} // namespace nebulo
