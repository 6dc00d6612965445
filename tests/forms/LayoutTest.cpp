#include "dib/SDIB.h"
#include "tests/support/Rows.h"
#include "toolkit/widgets/Application.h"
#include "toolkit/widgets/CheckBox.h"
#include "toolkit/widgets/Form.h"
#include "toolkit/widgets/Label.h"
#include "toolkit/widgets/LayoutReader.h"
#include "toolkit/widgets/LayoutSyntax.h"
#include "toolkit/widgets/SpeedButton.h"
#include "toolkit/widgets/TrackBar.h"

#include <QTest>

#include <gtest/gtest.h>

namespace nebulo {

// A form with two handlers, read from whatever layout a test gives it.
class TSampleForm : public TForm {
    Q_OBJECT
public:
    explicit TSampleForm(const QString& Layout) : TForm(nullptr)
    {
        ReadLayoutText(*this, Layout);
        DoCreate();
    }
    std::vector<QObject*> Clicks;
    int Creations = 0;

public slots:
    void FormCreate(QObject*) { ++Creations; }
    void ButtonClick(QObject* Sender) { Clicks.push_back(Sender); }
    void FailingClick(QObject*) { throw EInvalidOperation("The handler failed"); }
};

namespace {

using test::PrintTo;

const char* const SampleLayout = R"(object Sample: TSampleForm
  Caption = 'It''s a sample'
  ClientWidth = 120
  ClientHeight = 90
  OnCreate = FormCreate
  object First: TSpeedButton
    Left = 4
    Top = 5
    Width = 25
    Height = 25
    Hint = 'First one'
    ShowHint = True
    GroupIndex = 1
    OnClick = ButtonClick
  end
  object Second: TSpeedButton
    Left = 30
    Top = 5
    Width = 25
    Height = 25
    GroupIndex = 1
    OnClick = FailingClick
  end
  object Amount: TTrackBar
    Left = 2
    Top = 40
    Width = 100
    Height = 21
    Max = 200
    PageSize = 5
    TabStop = False
  end
  object Border: TCheckBox
    Caption = 'Add Border'
    TabStop = False
  end
  object Surface: TSDIB
    Data = {}
  end
end
)";

class Layout : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        RegisterComponentClass<TSpeedButton>("TSpeedButton");
        RegisterComponentClass<TTrackBar>("TTrackBar");
        RegisterComponentClass<TCheckBox>("TCheckBox");
        RegisterComponentClass<TLabel>("TLabel");
        RegisterComponentClass("TSDIB", [](QWidget* Parent) -> QObject* { return new TSDIB(Parent); });
    }
    void SetUp() override
    {
        Application().SetErrorReport([this](const QString& Message) { Reports.push_back(Message); });
    }
    std::vector<QString> Reports;
};

TEST_F(Layout, CreatesTheControlsWithTheirProperties)
{
    TSampleForm Form(SampleLayout);
    EXPECT_EQ(Form.objectName(), "Sample");
    EXPECT_EQ(Form.Caption(), "It's a sample");
    EXPECT_EQ(Form.size(), QSize(120, 90));
    EXPECT_EQ(Form.Creations, 1);

    auto* First = Form.findChild<TSpeedButton*>("First");
    ASSERT_NE(First, nullptr);
    EXPECT_EQ(First->geometry(), QRect(4, 5, 25, 25));
    EXPECT_EQ(First->toolTip(), "First one");
    EXPECT_EQ(Form.findChild<TSpeedButton*>("Second")->toolTip(), "") << "no hint without ShowHint";
    auto* Amount = Form.findChild<TTrackBar*>("Amount");
    ASSERT_NE(Amount, nullptr);
    EXPECT_EQ(Amount->maximum(), 200);
    EXPECT_EQ(Amount->pageStep(), 5);
    EXPECT_EQ(Amount->focusPolicy(), Qt::ClickFocus);
    EXPECT_EQ(Form.findChild<TCheckBox*>("Border")->text(), "Add Border");
    auto* Surface = Form.findChild<TSDIB*>("Surface");
    ASSERT_NE(Surface, nullptr);
    EXPECT_FALSE(Surface->Valid()) << "0 bytes of data leave the surface empty";
}

TEST_F(Layout, BindsHandlersByNameAndReportsTheirFailures)
{
    TSampleForm Form(SampleLayout);
    auto* First = Form.findChild<TSpeedButton*>("First");
    auto* Second = Form.findChild<TSpeedButton*>("Second");
    First->click();
    ASSERT_EQ(Form.Clicks.size(), 1u);
    EXPECT_EQ(Form.Clicks[0], First) << "the control is the Sender";
    Second->click();
    ASSERT_EQ(Reports.size(), 1u);
    EXPECT_EQ(Reports[0], "The handler failed");
}

TEST_F(Layout, WritesTheSameFormOfTextBack)
{
    TSampleForm Form(SampleLayout);
    const QString Written = WriteLayoutText(Form);
    EXPECT_TRUE(Written.contains("    Data = {}\n")) << Written.toStdString();
    EXPECT_TRUE(Written.contains("OnClick = ButtonClick")) << Written.toStdString();
    EXPECT_TRUE(Written.contains("Caption = 'It''s a sample'")) << Written.toStdString();

    TSampleForm Again(Written);
    EXPECT_EQ(WriteLayoutText(Again), Written);
    EXPECT_EQ(Again.findChild<TTrackBar*>("Amount")->geometry(), QRect(2, 40, 100, 21));
}

TEST_F(Layout, CarriesRawBytesOverSeveralLines)
{
    QByteArray Bytes;
    for (int I = 0; I < 300; ++I)
        Bytes += char(I * 7);
    TLayoutObject Object;
    Object.Name = "Holder";
    Object.ClassName = "THolder";
    TLayoutValue Value;
    Value.Kind = TLayoutValue::Binary;
    Value.Bytes = Bytes;
    Object.Properties.push_back({"Data", Value, 0});
    const QString Text = FormatLayout(Object);
    EXPECT_GT(Text.count('\n'), 5) << "long raw bytes wrap";
    EXPECT_EQ(ParseLayout(Text).Properties.at(0).Value.Bytes, Bytes);
}

struct TBrokenCase {
    const char* Name;
    const char* Text;
    const char* Message;
};

class BrokenLayout : public Layout, public ::testing::WithParamInterface<TBrokenCase> {};

TEST_P(BrokenLayout, IsRefusedNamingTheLine)
{
    try {
        TSampleForm Form(GetParam().Text);
        FAIL() << "the layout must be refused";
    } catch (const ELayoutError& Error) {
        EXPECT_TRUE(std::string(Error.what()).find(GetParam().Message) != std::string::npos) << Error.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Refused, BrokenLayout,
    ::testing::Values(
        TBrokenCase{"NoEnd", "object A: TSampleForm\n  Caption = 'x'\n", "missing end"},
        TBrokenCase{"UnknownClass", "object A: TSampleForm\n  object B: TNothing\n  end\nend\n", "line 2: class TNothing"},
        TBrokenCase{"UnknownProperty", "object A: TSampleForm\n  Colour = 5\nend\n", "line 2: Colour: no such property"},
        TBrokenCase{"OddHex", "object A: TSampleForm\n  object S: TSDIB\n    Data = {ABC}\n  end\nend\n", "even number"},
        TBrokenCase{"NotHex", "object A: TSampleForm\n  object S: TSDIB\n    Data = {XY}\n  end\nend\n", "hex digits"},
        TBrokenCase{"OpenBrace", "object A: TSampleForm\n  object S: TSDIB\n    Data = {00\n", "closing brace"},
        TBrokenCase{"OpenString", "object A: TSampleForm\n  Caption = 'abc\nend\n", "closing quote"},
        TBrokenCase{"UnknownHandler", "object A: TSampleForm\n  OnCreate = Missing\nend\n", "no handler Missing"},
        TBrokenCase{"UnknownEvent", "object A: TSampleForm\n  OnWobble = FormCreate\nend\n", "no event OnWobble"},
        TBrokenCase{"BadSurfaceData", "object A: TSampleForm\n  object S: TSDIB\n    Data = {424D00}\n  end\nend\n",
                    "Stream read error"}),
    test::RowName());

} // namespace
} // namespace nebulo

#include "LayoutTest.moc"
