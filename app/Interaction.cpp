#include "app/Interaction.h"

#include "app/Blur1.h"
#include "interaction/Hints.h"
#include "interaction/PictureDrop.h"
#include "interaction/WindowInput.h"
#include "pictureio/IncomingPicture.h"
#include "toolkit/core/Bitmap.h"
#include "toolkit/widgets/Application.h"
#include "toolkit/widgets/CheckBox.h"
#include "toolkit/widgets/FormatSettings.h"
#include "toolkit/widgets/LayoutSyntax.h"
#include "toolkit/widgets/SpeedButton.h"
#include "toolkit/widgets/TrackBar.h"
#include "view/ZImage.h"

#include <QMimeData>

namespace nebulo {

namespace {

QString StoredHint(const QWidget& Control)
{
    return Control.property(HintProperty).toString();
}

} // namespace

TInteraction::TInteraction(TForm1& Window)
    : QObject(&Window), Window_(Window), Input_(new TWindowInput(&Window, Window.ZImage1))
{
    Window.setAcceptDrops(true);
    connect(Input_, &TWindowInput::Command, this, [this](TKeyCommand Command) {
        Application().Guard([&] { Run(Command); });
    });
    connect(Input_, &TWindowInput::CompareChanged, this, &TInteraction::ShowComparison);
    connect(Input_, &TWindowInput::Dropped, this, [this](const QMimeData* Data) {
        Application().Guard([&] { TakeDrop(Data); });
    });
    connect(&Window, &TForm1::Pasted, this, &TInteraction::StartHistory);
    connect(&Window, &TForm1::Blurred, this, &TInteraction::AddBlurToHistory);
    connect(Window.TrackBar1, &TTrackBar::Change, this, &TInteraction::ShowHints);
    connect(Window.CheckBox1, &TCheckBox::toggled, this, &TInteraction::ShowHints);

    const std::pair<TSpeedButton*, TKeyCommand> Keyed[] = {{Window.SpeedButton3, TKeyCommand::Copy},
                                                          {Window.SpeedButton1, TKeyCommand::MoveTool}};
    for (auto [Button, Command] : Keyed)
        Button->setToolTip(HintWithKey(StoredHint(*Button), KeyText(Command)));
    Window.SpeedButton2->setToolTip(ZoomToolHint(StoredHint(*Window.SpeedButton2)));
    ShowHints();
}

// Each key does what its button does, through the button, so a disabled
// button ignores its key too. The view's zoom keys wait for a picture.
void TInteraction::Run(TKeyCommand Command)
{
    switch (Command) {
    case TKeyCommand::Paste: Window_.SpeedButton4->click(); break;
    case TKeyCommand::Copy: Window_.SpeedButton3->click(); break;
    case TKeyCommand::Blur: Window_.SpeedButton5->click(); break;
    case TKeyCommand::MoveTool: Window_.SpeedButton1->click(); break;
    case TKeyCommand::ZoomTool: Window_.SpeedButton2->click(); break;
    case TKeyCommand::ZoomIn: Zoom(TMouseButton::mbLeft, false); break;
    case TKeyCommand::ZoomOut: Zoom(TMouseButton::mbRight, false); break;
    case TKeyCommand::ZoomReset: Zoom(TMouseButton::mbLeft, true); break;
    case TKeyCommand::Undo:
        if (History_.CanUndo()) {
            ShowStep(History_.Undo());
            emit StepShown(true);
        }
        break;
    case TKeyCommand::Redo:
        if (History_.CanRedo()) {
            ShowStep(History_.Redo());
            emit StepShown(false);
        }
        break;
    case TKeyCommand::None: break;
    }
}

void TInteraction::Zoom(TMouseButton Button, bool Shift)
{
    if (History_.Started())
        Window_.ZImage1->ZoomStep(Button, Shift);
}

void TInteraction::ShowStep(TBitmap& Step)
{
    TZImage& View = *Window_.ZImage1;
    View.Bitmap()->Assign(&Step);
    View.ReframePicture();
    View.Repaint();
    ShowHints();
}

// A drop is a paste of the dropped picture; a drop that brings none leaves
// everything as it was and says why.
void TInteraction::TakeDrop(const QMimeData* Data)
{
    Window_.ShowPastedPicture(PrepareIncomingPicture(DroppedPicture(*Data)));
}

void TInteraction::StartHistory()
{
    History_.Start(*Window_.ZImage1->Bitmap());
    ShowComparison();
    ShowHints();
}

void TInteraction::AddBlurToHistory()
{
    if (History_.Started())
        History_.Add(*Window_.ZImage1->Bitmap());
    ShowHints();
}

void TInteraction::ShowComparison()
{
    TZImage& View = *Window_.ZImage1;
    View.ShowInstead(Input_->Comparing() && History_.Started() ? &History_.Original() : nullptr);
    View.Repaint();
}

void TInteraction::ShowHints()
{
    const TBitmap* Picture = History_.Started() ? Window_.ZImage1->Bitmap() : nullptr;
    const TBlurForecast Forecast
        = ForecastBlur(Picture, Window_.TrackBar1->Position(), Window_.CheckBox1->isChecked());
    Window_.TrackBar1->setToolTip(SliderHint(StoredHint(*Window_.TrackBar1), Forecast, DecimalSeparator()));
    Window_.SpeedButton5->setToolTip(
        BlurButtonHint(StoredHint(*Window_.SpeedButton5), Forecast, DecimalSeparator()));
    Window_.SpeedButton4->setToolTip(
        PasteButtonHint(HintWithKey(StoredHint(*Window_.SpeedButton4), KeyText(TKeyCommand::Paste)),
                        Window_.PastedPictureFlattened()));
}

} // namespace nebulo
