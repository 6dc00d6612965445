#include "app/Interaction.h"

#include "app/Blur1.h"
#include "clipboard/DesktopClipboard.h"
#include "clipboard/ForeignDrops.h"
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

#include <QGuiApplication>
#include <QMimeData>
#include <QPointer>

#include <functional>

namespace nebulo {

namespace {

QString StoredHint(const QWidget& Control)
{
    return Control.property(HintProperty).toString();
}

// Calls its function as it goes, on every path.
class TOnLeaving {
public:
    explicit TOnLeaving(std::function<void()> Call) : Call_(std::move(Call)) {}
    ~TOnLeaving() { Call_(); }
    TOnLeaving(const TOnLeaving&) = delete;
    TOnLeaving& operator=(const TOnLeaving&) = delete;

private:
    std::function<void()> Call_;
};

// What another program's drop brings, read from it while it waits: the file
// to read, or the picture's bytes, or why there is none.
struct TDragged {
    QString Path;
    TOwnerBytes Picture;
};

TDragged ReadDragged(const QStringList& Types, uint32_t Time, const std::stop_token& Stop)
{
    TDragged Dragged;
    QMimeData Listed;
    for (const QString& Type : Types)
        Listed.setData(Type, {});
    if (Listed.hasUrls()) {
        const TOwnerBytes Files =
            FetchBytesFromOwner(TDesktopClipboard::DragRequest("text/uri-list", Time, DropDataTexts), Stop);
        if (Files.Failure) {
            Dragged.Picture.Failure = Files.Failure;
            return Dragged;
        }
        Listed.setData("text/uri-list", Files.Bytes);
    }
    try {
        Dragged.Path = DroppedFilePath(Listed);
    } catch (const EDropError& Error) {
        Dragged.Picture.Failure = std::make_exception_ptr(Error);
        return Dragged;
    }
    if (Dragged.Path.isEmpty())
        Dragged.Picture = FetchBytesFromOwner(
            TDesktopClipboard::DragRequest(PreferredPictureType(Types), Time, DropDataTexts), Stop);
    return Dragged;
}

// Another program's drop, of which only the types it lists are known, on the
// incoming road: what it serves is read first, and it is told that the drop
// is over (Served) as soon as that is done; then its file is read, or its
// picture decoded.
TArrival DropFromOwner(const QStringList& Types, uint32_t Time, std::function<void()> Served, std::stop_token Stop)
{
    TTrace Trace("drop");
    TDragged Dragged;
    {
        const TOnLeaving TellSource(std::move(Served));
        Dragged = ReadDragged(Types, Time, Stop);
    }
    if (Dragged.Picture.Failure)
        return FailedArrival(Dragged.Picture.Failure, std::move(Trace));
    if (!Dragged.Path.isEmpty())
        return ArrivalFromFile(Dragged.Path, std::move(Trace), {}, std::move(Stop));
    Trace.Mark("read");
    return ArrivalFromBytes(Dragged.Picture.Bytes, std::move(Trace), UnreadableAs(DropDataTexts.Unreadable));
}

} // namespace

TInteraction::TInteraction(TForm1& Window)
    : Window_(Window), Input_(new TWindowInput(&Window, Window.ZImage1)),
      ForeignDrops_(new TForeignDrops(Window, [&Window] { return uintptr_t(Window.winId()); }))
{
    Window.setAcceptDrops(true);
    connect(Input_, &TWindowInput::Command, this, [this](TKeyCommand Command) {
        Application().Guard([&] { Run(Command); });
    });
    connect(Input_, &TWindowInput::CompareChanged, this, &TInteraction::ShowComparison);
    connect(Input_, &TWindowInput::Dropped, this, [this](const QMimeData* Data) {
        Application().Guard([&] { TakeDrop(Data); });
    });
    connect(Input_, &TWindowInput::DragTaken, ForeignDrops_, &TForeignDrops::Accept);
    connect(ForeignDrops_, &TForeignDrops::Dropped, this, &TInteraction::TakeForeignDrop);
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
// road; a drop that brings none leaves everything as it was and says why.
void TInteraction::TakeDrop(const QMimeData* Data)
{
    Window_.IncomingRoad().Start(DropTransport(*Data, TTrace("drop")));
}

// The source hears that the drop is over from the window's thread, if the
// window is still there.
void TInteraction::TakeForeignDrop(uint32_t Source, uint32_t Time, const QStringList& Types)
{
    auto Served = [Drops = QPointer<TForeignDrops>(ForeignDrops_), Source] {
        QMetaObject::invokeMethod(
            qApp,
            [Drops, Source] {
                if (Drops)
                    Drops->Finish(Source);
            },
            Qt::QueuedConnection);
    };
    Window_.IncomingRoad().Start([Types, Time, Served](std::stop_token Stop) {
        return DropFromOwner(Types, Time, Served, std::move(Stop));
    });
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
