#include "app/Blur1.h"

#include "app/About.h"
#include "app/Accessibility.h"
#include "app/AmountText.h"
#include "app/Interaction.h"
#include "blur/BlurCommand.h"
#include "clipboard/DesktopClipboard.h"
#include "dib/SDIB.h"
#include "toolkit/core/Clipboard.h"
#include "toolkit/widgets/Application.h"
#include "toolkit/widgets/Bevel.h"
#include "toolkit/widgets/BusyCursor.h"
#include "toolkit/widgets/CheckBox.h"
#include "toolkit/widgets/FormatSettings.h"
#include "toolkit/widgets/Label.h"
#include "toolkit/widgets/LayoutReader.h"
#include "toolkit/widgets/Panel.h"
#include "toolkit/widgets/SpeedButton.h"
#include "toolkit/widgets/StandardControls.h"
#include "toolkit/widgets/SystemMenu.h"
#include "toolkit/widgets/TrackBar.h"
#include "view/ZImage.h"

namespace nebulo {

TForm1* Form1 = nullptr;

void RegisterBlur1Classes()
{
    RegisterStandardControls();
    RegisterComponentClass<TZImage>("TZImage");
    RegisterComponentClass("TSDIB", [](QWidget* Parent) -> QObject* { return new TSDIB(Parent); });
}

TForm1::TForm1(QWidget* Parent) : TForm(Parent)
{
    RegisterBlur1Classes();
    ReadLayout(":/layouts/Blur1.layout");
    SpeedButton1 = LayoutComponent<TSpeedButton>(*this, "SpeedButton1");
    SpeedButton2 = LayoutComponent<TSpeedButton>(*this, "SpeedButton2");
    Panel1 = LayoutComponent<TPanel>(*this, "Panel1");
    ZImage1 = LayoutComponent<TZImage>(*this, "ZImage1");
    SDIB1 = LayoutComponent<TSDIB>(*this, "SDIB1");
    CheckBox1 = LayoutComponent<TCheckBox>(*this, "CheckBox1");
    TrackBar1 = LayoutComponent<TTrackBar>(*this, "TrackBar1");
    Label3 = LayoutComponent<TLabel>(*this, "Label3");
    SpeedButton3 = LayoutComponent<TSpeedButton>(*this, "SpeedButton3");
    SpeedButton4 = LayoutComponent<TSpeedButton>(*this, "SpeedButton4");
    SpeedButton5 = LayoutComponent<TSpeedButton>(*this, "SpeedButton5");
    Bevel1 = LayoutComponent<TBevel>(*this, "Bevel1");
    DesktopClipboard_ = new TDesktopClipboard(this);
    connect(&IncomingRoad_, &TIncomingRoad::Arrived, this, &TForm1::PictureArrived);
    connect(DesktopClipboard_, &TDesktopClipboard::Failed, this, &TForm1::Report);
    DoCreate();
    Interaction_ = std::make_unique<TInteraction>(*this);
    Accessibility_ = std::make_unique<TAccessibility>(*this, *Interaction_);
}

// What is on its way in is stopped before the controls go.
TForm1::~TForm1()
{
    IncomingRoad_.Stop();
}

std::array<QWidget*, 6> TForm1::PictureControls() const
{
    return {SpeedButton1, SpeedButton2, SpeedButton3, SpeedButton5, CheckBox1, TrackBar1};
}

void TForm1::FormCreate(QObject*)
{
    Application().OnMessage = [this](TMsg& Msg, bool& Handled) { AppMessage(Msg, Handled); };
    AppendMenuA(GetSystemMenu(this, false), MF_SEPARATOR, 0, "");
    AppendMenuA(GetSystemMenu(this, false), MF_BYPOSITION, AboutCommand, "&About Nebulo");
    UpdateControls();
    ZImage1->SetSelectedTool(TTool::None);
    TrackBar1Change(this);
}

void TForm1::SpeedButton1Click(QObject*)
{
    ZImage1->SetSelectedTool(TTool::Move);
}

void TForm1::SpeedButton2Click(QObject*)
{
    ZImage1->SetSelectedTool(TTool::Zoom);
}

void TForm1::TrackBar1Change(QObject*)
{
    Label3->SetCaption(AmountText(TrackBar1->Position(), DecimalSeparator()));
}

void TForm1::UpdateControls()
{
    for (QWidget* Control : PictureControls())
        Control->setEnabled(Document.HasPicture());
}

// The picture is read off this thread; the window goes on answering, and
// PictureArrived shows it.
void TForm1::SpeedButton4Click(QObject*)
{
    TDesktopClipboard::StartPaste(IncomingRoad_, TTrace("paste"));
}

void TForm1::PictureArrived(const TArrival& Arrival)
{
    if (Arrival.Failure) {
        Report(Arrival.Failure);
        return;
    }
    if (!Arrival.Picture.Pixels.isNull())
        ShowPastedPicture(Arrival.Picture, Arrival.Trace);
}

void TForm1::ShowPastedPicture(const TIncomingPicture& Picture, TTrace Trace)
{
    TBitmap Arrived;
    Arrived.SetImage(Picture.Pixels, TPixelFormat::pf32bit);
    ZImage1->AssignFrom(&Arrived);
    ZImage1->Repaint();
    Trace.SetSize(Arrived.Width(), Arrived.Height());
    Trace.Mark("shown");
    Document.Start(*ZImage1->Bitmap(), Picture.Flattened);
    UpdateControls();
    ZImage1->SetSelectedTool(TTool::Zoom);
    SpeedButton2->SetDown(true);
    emit Pasted();
    Trace.Print();
}

void TForm1::Report(std::exception_ptr Failure)
{
    Application().Guard([&] { std::rethrow_exception(Failure); });
}

void TForm1::SpeedButton3Click(QObject*)
{
    TTrace Trace("copy");
    {
        TOpenClipboard Open(Clipboard());
        Clipboard().Assign(ZImage1->Bitmap());
    }
    DesktopClipboard_->CheckCopy(std::move(Trace));
}

void TForm1::SpeedButton5Click(QObject*)
{
    BlurPicture();
}

void TForm1::BlurPicture()
{
    TBitmap& Picture = *ZImage1->Bitmap();
    const int Position = TrackBar1->Position();
    const bool WithBorder = CheckBox1->isChecked();
    if (CheckBlurGuards(Picture, Position, WithBorder) != TBlurRefusal::None)
        return;
    TBusyCursor Busy;
    TTrace Trace("blur");
    RunBlurSteps(Picture, *SDIB1, Position, WithBorder, [&](const char* Step) { Trace.Mark(Step); });
    ZImage1->RefitPicture();
    ZImage1->Repaint();
    Trace.SetSize(Picture.Width(), Picture.Height());
    Trace.Mark("shown");
    Document.AddBlur(Picture);
    emit Blurred();
    Trace.Print();
}

// The About entry's number is compared whole: its low bits are not masked
// off, and the handled flag stays false so that every message goes on.
void TForm1::AppMessage(TMsg& Msg, bool&)
{
    if (Msg.Message == WM_SYSCOMMAND && Msg.WParam == AboutCommand)
        AboutBox->ShowModal();
}

} // namespace nebulo
