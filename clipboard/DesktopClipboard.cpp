#include "clipboard/DesktopClipboard.h"

#include "clipboard/PictureOffer.h"
#include "toolkit/core/Exceptions.h"

#include <QGuiApplication>
#include <QtConcurrent/QtConcurrentRun>

namespace nebulo {

namespace {

const char* const NotHeldMessage = "The copied picture is not on the clipboard: another program holds it";

// On X11 a paste goes round Qt's clipboard, which would wait on the window's
// thread for as long as another program takes; elsewhere it goes through Qt,
// whose Wayland clipboard gives up on a silent program after a second.
bool ReadsOwnSelection()
{
    return QGuiApplication::platformName() == "xcb";
}

} // namespace

const TPictureOffer* HeldOffer()
{
    return qobject_cast<const TPictureOffer*>(QGuiApplication::clipboard()->mimeData());
}

TDesktopClipboard::TDesktopClipboard(QObject* Parent) : QObject(Parent)
{
    connect(&Paste_, &QFutureWatcherBase::finished, this, [this] { emit PasteFinished(Paste_.result()); });
    connect(QGuiApplication::clipboard(), &QClipboard::changed, this, &TDesktopClipboard::ClipboardChanged);
}

// The pool waits for a paste still on its way, at most the patience.
TDesktopClipboard::~TDesktopClipboard() = default;

QMimeData* TDesktopClipboard::MakeOffer(const QImage& Picture)
{
    return new TPictureOffer(Picture);
}

void TDesktopClipboard::StartPaste(TTrace Trace)
{
    if (Pasting())
        return;
    if (!ReadsOwnSelection() || HeldOffer() != nullptr) {
        emit PasteFinished(FetchThroughQt(std::move(Trace)));
        return;
    }
    Paste_.setFuture(
        QtConcurrent::run(&Workers_, FetchFromOwner, qgetenv("DISPLAY"), PastePreferences(), std::move(Trace)));
}

void TDesktopClipboard::CheckCopy(TTrace Trace)
{
    const TPictureOffer* Offer = HeldOffer();
    Trace.Mark("offer");
    if (Offer == nullptr) {
        CopyLost();
        return;
    }
    Checked_ = Offer;
    Checking_ = true;
    Trace.SetSize(Offer->Picture().width(), Offer->Picture().height());
    connect(Offer, &TPictureOffer::Encoded, this, [this, Offer, Trace]() mutable {
        Trace.Add("encode", Offer->EncodeMilliseconds(), Offer->EncodeFaults());
        Trace.Note(QString("%1 MB").arg(double(Offer->Png().size()) / 1e6, 0, 'f', 2));
        Trace.Print();
        // A notice of a change may have found the copy lost already, while
        // Qt still held the offer: one loss, one report.
        if (Checked_ == Offer && Checking_) {
            Checking_ = false;
            if (HeldOffer() != Offer)
                CopyLost();
        }
    });
}

// Qt lets go of an offer whose clipboard another program took, and tells of
// a newer copy of ours while it replaces the offer; so the clipboard is
// looked at once the event that changed it is over, when a newer copy has
// taken over the check.
void TDesktopClipboard::ClipboardChanged(QClipboard::Mode Mode)
{
    if (Mode != QClipboard::Clipboard || !Checking_)
        return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (Checking_ && HeldOffer() == nullptr) {
                Checking_ = false;
                CopyLost();
            }
        },
        Qt::QueuedConnection);
}

void TDesktopClipboard::CopyLost()
{
    emit Failed(std::make_exception_ptr(EInvalidOperation(NotHeldMessage)));
}

} // namespace nebulo
