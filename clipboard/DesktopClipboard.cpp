#include "clipboard/DesktopClipboard.h"

#include "clipboard/PictureOffer.h"
#include "toolkit/core/Exceptions.h"

#include <QGuiApplication>

namespace nebulo {

namespace {

const char* const NotHeldMessage = "The copied picture is not on the clipboard: another program holds it";

// On X11 a paste goes round Qt, which would wait on the window's thread for
// as long as another program takes; elsewhere it goes through Qt, whose
// Wayland clipboard gives up on a silent program after a second.
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
    connect(QGuiApplication::clipboard(), &QClipboard::changed, this, &TDesktopClipboard::ClipboardChanged);
}

QMimeData* TDesktopClipboard::MakeOffer(const QImage& Picture)
{
    return new TPictureOffer(Picture);
}

void TDesktopClipboard::StartPaste(TIncomingRoad& Road, TTrace Trace)
{
    if (!ReadsOwnSelection() || HeldOffer() != nullptr) {
        FetchThroughQt(Road, std::move(Trace));
        return;
    }
    TOwnerRequest Request;
    Request.Display = qgetenv("DISPLAY");
    Road.Start([Request, Trace = std::move(Trace)](std::stop_token Stop) mutable {
        return FetchFromOwner(Request, std::move(Trace), std::move(Stop));
    });
}

TOwnerRequest TDesktopClipboard::DragRequest(const QByteArray& Type, uint32_t Time, const TRoadTexts& Texts)
{
    TOwnerRequest Request;
    Request.Display = qgetenv("DISPLAY");
    Request.Selection = "XdndSelection";
    Request.Time = Time;
    // The source waits for its answer meanwhile: never past 3 s.
    Request.Limits.Overall = std::chrono::milliseconds(2500);
    Request.Preferred = {Type};
    Request.AskTargets = false;
    Request.Texts = Texts;
    return Request;
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
