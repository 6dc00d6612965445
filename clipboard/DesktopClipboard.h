#pragma once

// The transports that talk to other programs: a selection (the clipboard, a
// drag's data) read off the window's thread, the paste, the copy's offer and
// its check, the keeper once the window is gone.

#include "clipboard/PasteFetch.h"
#include "pictureio/IncomingRoad.h"
#include "pictureio/Trace.h"

#include <QClipboard>
#include <QImage>
#include <QMimeData>
#include <QObject>
#include <QPointer>

#include <exception>

namespace nebulo {

class TPictureOffer;

// The window's clipboard roads. A paste, or a drag's picture data, that
// another program holds is read and decoded off the window's thread on the
// window's incoming road and given up when that program does not answer; a
// copy offers our own PNG at once and then makes sure the clipboard really
// holds it.
class TDesktopClipboard : public QObject {
    Q_OBJECT
public:
    explicit TDesktopClipboard(QObject* Parent = nullptr);

    // What the toolkit's clipboard offers for a copied picture.
    static QMimeData* MakeOffer(const QImage& Picture);

    // Starts a paste on Road, replacing what is on its way there; the road's
    // Arrived follows, at once when nothing has to be waited for.
    static void StartPaste(TIncomingRoad& Road, TTrace Trace);
    // A request for a drag's data as Type, for the drop at Time (see
    // TForeignDrops); Texts say what failed.
    static TOwnerRequest DragRequest(const QByteArray& Type, uint32_t Time, const TRoadTexts& Texts);

    // After a copy: the copy is complete once its PNG is ready, and until
    // then the clipboard must go on holding it; a copy that does not reach
    // the clipboard, or leaves it before it is complete, is reported.
    void CheckCopy(TTrace Trace);

signals:
    // A failure for the application's error report.
    void Failed(std::exception_ptr Failure);

private:
    void ClipboardChanged(QClipboard::Mode Mode);
    void CopyLost();

    QPointer<const TPictureOffer> Checked_;
    bool Checking_ = false;
};

// Our own offer, where the clipboard holds one. On X11 the X server is asked
// who holds the clipboard (the program that holds it plays no part).
const TPictureOffer* HeldOffer();

} // namespace nebulo
