#include "app/Interaction.h"

#include "app/Blur1.h"
#include "clipboard/DesktopClipboard.h"
#include "interaction/Hints.h"
#include "interaction/PictureDrop.h"
#include "interaction/WindowInput.h"
#include "pictureio/IncomingPicture.h"
#include "pictureio/PictureBytes.h"
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

// Another program's drag, of which only the types it lists are known: its
// list of files is asked for here, on the incoming road, and then its first
// file read, or else its picture data asked for.
TArrival DropFromOwner(const QStringList& Types, std::stop_token Stop)
{
    TTrace Trace("drop");
    QMimeData Listed;
    for (const QString& Type : Types)
        Listed.setData(Type, {});
    if (Listed.hasUrls()) {
        const TOwnerBytes Files =
            FetchBytesFromOwner(TDesktopClipboard::DragRequest("text/uri-list", DropDataTexts), Stop);
        if (Files.Failure)
            return FailedArrival(Files.Failure, std::move(Trace));
        Listed.setData("text/uri-list", Files.Bytes);
    }
    QString Path;
    try {
        Path = DroppedFilePath(Listed);
    } catch (const EDropError& Error) {
        return FailedArrival(std::make_exception_ptr(Error), std::move(Trace));
    }
    if (!Path.isEmpty())
        return ArrivalFromFile(Path, std::move(Trace), {}, std::move(Stop));
    return FetchFromOwner(TDesktopClipboard::DragRequest(PreferredPictureType(Types), DropDataTexts),
                          std::move(Trace), std::move(Stop));
}

} // namespace

TInteraction::TInteraction(TForm1& Window) : Window_(Window), Input_(new TWindowInput(&Window, Window.ZImage1))
{
    Window.setAcceptDrops(true);
    connect(Input_, &TWindowInput::Command, this, [this](TKeyCommand Command) {
        Application().Guard([&] { Run(Command); });
    });
    connect(Input_, &TWindowInput::CompareChanged, this, &TInteraction::ShowComparison);
    connect(Input_, &TWindowInput::Dropped, this, [this](const QMimeData* Data) {
        Application().Guard([&] { TakeDrop(Data); });
    });
    connect(&Window, &TForm1::Pasted, this, [this] {
        ShowComparison();
        ShowHints();
    });
    connect(&Window, &TForm1::Blurred, this, &TInteraction::ShowHints);
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
        if (Window_.Document.History().CanUndo()) {
            ShowStep(Window_.Document.History().Undo());
            emit StepShown(true);
        }
        break;
    case TKeyCommand::Redo:
        if (Window_.Document.History().CanRedo()) {
            ShowStep(Window_.Document.History().Redo());
            emit StepShown(false);
        }
        break;
    case TKeyCommand::None: break;
    }
}

void TInteraction::Zoom(TMouseButton Button, bool Shift)
{
    if (Window_.Document.HasPicture())
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

// A drop is a paste of the dropped picture, read on the window's incoming
// road once the drop is accepted; a drop that brings none leaves everything
// as it was and says why.
void TInteraction::TakeDrop(const QMimeData* Data)
{
    TIncomingRoad& Road = Window_.IncomingRoad();
    if (!TDesktopClipboard::ReadsDropFromOwner(*Data)) {
        Road.Start(DropTransport(*Data, TTrace("drop")));
        return;
    }
    Road.Start([Types = Data->formats()](std::stop_token Stop) { return DropFromOwner(Types, std::move(Stop)); });
}

void TInteraction::ShowComparison()
{
    TZImage& View = *Window_.ZImage1;
    TPictureDocument& Document = Window_.Document;
    View.ShowInstead(Input_->Comparing() && Document.HasPicture() ? &Document.History().Original() : nullptr);
    View.Repaint();
}

void TInteraction::ShowHints()
{
    const TBitmap* Picture = Window_.Document.HasPicture() ? Window_.ZImage1->Bitmap() : nullptr;
    const TBlurForecast Forecast
        = ForecastBlur(Picture, Window_.TrackBar1->Position(), Window_.CheckBox1->isChecked());
    Window_.TrackBar1->setToolTip(SliderHint(StoredHint(*Window_.TrackBar1), Forecast, DecimalSeparator()));
    Window_.SpeedButton5->setToolTip(
        BlurButtonHint(StoredHint(*Window_.SpeedButton5), Forecast, DecimalSeparator()));
    Window_.SpeedButton4->setToolTip(PasteButtonHint(
        HintWithKey(StoredHint(*Window_.SpeedButton4), KeyText(TKeyCommand::Paste)), Window_.Document.Flattened()));
}

} // namespace nebulo
