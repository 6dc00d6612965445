#include "desktop/DesktopClipboard.h"

#include "desktop/PictureOffer.h"
#include "desktop/X11Selection.h"
#include "toolkit/core/Exceptions.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QtConcurrent/QtConcurrentRun>

namespace nebulo {

namespace {

const char* const NotHeldMessage = "The copied picture is not on the clipboard: another program holds it";

// Only X11's clipboard makes the window wait on another program; there we go
// round Qt's clipboard, which waits on the window's thread.
bool ReadsOwnSelection()
{
    return QGuiApplication::platformName() == "xcb";
}

class TMarkedOffer : public TPictureOffer {
public:
    using TPictureOffer::TPictureOffer;
    QStringList formats() const override { return TPictureOffer::formats() << QString::fromLatin1(OwnOfferMarker()); }
    bool hasFormat(const QString& MimeType) const override
    {
        return MimeType == QLatin1String(OwnOfferMarker()) || TPictureOffer::hasFormat(MimeType);
    }
};

// Asks the X server, as any other program would, whether the clipboard now
// offers our picture.
bool OffersOurPicture(const QByteArray& Display)
{
    try {
        TX11Selection Selection(Display.isEmpty() ? nullptr : Display.constData());
        const TX11Selection::TTargets Offered = Selection.Targets(ClipboardPatience);
        return Offered.Names.contains(TPictureOffer::PngType) && Offered.Names.contains(OwnOfferMarker());
    } catch (const Exception&) {
        return false;
    }
}

} // namespace

QByteArray OwnOfferMarker()
{
    static const QByteArray Marker = "application/x-nebulo-copy-" + QByteArray::number(QCoreApplication::applicationPid());
    return Marker;
}

TDesktopClipboard::TDesktopClipboard(QObject* Parent) : QObject(Parent)
{
    connect(&Paste_, &QFutureWatcherBase::finished, this, [this] { emit PasteFinished(Paste_.result()); });
    connect(&Check_, &QFutureWatcherBase::finished, this, [this] { CopyChecked(Check_.result()); });
}

// The pool waits for a paste still on its way, at most the patience.
TDesktopClipboard::~TDesktopClipboard() = default;

QMimeData* TDesktopClipboard::MakeOffer(const QImage& Picture)
{
    return new TMarkedOffer(Picture);
}

void TDesktopClipboard::StartPaste(TTrace Trace)
{
    if (Pasting())
        return;
    if (!ReadsOwnSelection() || (QGuiApplication::clipboard()->ownsClipboard() && !CopyRefused_)) {
        emit PasteFinished(FetchThroughQt(std::move(Trace)));
        return;
    }
    Paste_.setFuture(QtConcurrent::run(&Workers_, FetchFromOwner, qgetenv("DISPLAY"), PastePreferences(),
                                       std::move(Trace)));
}

void TDesktopClipboard::CheckCopy(TTrace Trace)
{
    const auto* Offer = qobject_cast<const TPictureOffer*>(QGuiApplication::clipboard()->mimeData());
    Trace.Mark("offer");
    if (Offer != nullptr) {
        Trace.SetSize(Offer->Picture().width(), Offer->Picture().height());
        connect(Offer, &TPictureOffer::Encoded, this, [Offer, Trace]() mutable {
            Trace.Add("encode", Offer->EncodeMilliseconds());
            Trace.Note(QString("%1 MB").arg(double(Offer->Png().size()) / 1e6, 0, 'f', 2));
            Trace.Print();
        });
    }
    if (!ReadsOwnSelection()) {
        CopyChecked(Offer != nullptr);
        return;
    }
    // Qt believes it holds the clipboard even when the X server turned it
    // down, so the server is asked, off this thread, which serves the answer.
    if (!Check_.isRunning())
        Check_.setFuture(QtConcurrent::run(&Workers_, OffersOurPicture, qgetenv("DISPLAY")));
}

void TDesktopClipboard::CopyChecked(bool Held)
{
    CopyRefused_ = !Held;
    if (!Held)
        emit Failed(std::make_exception_ptr(EInvalidOperation(NotHeldMessage)));
}

} // namespace nebulo
