#pragma once

// The clipboard's transports: the X11 selection read off the window's thread,
// the paste, the copy's offer and its check, the keeper once the window is gone.

#include "clipboard/PasteFetch.h"
#include "pictureio/Trace.h"

#include <QClipboard>
#include <QFutureWatcher>
#include <QImage>
#include <QMimeData>
#include <QObject>
#include <QPointer>
#include <QThreadPool>

#include <exception>

namespace nebulo {

class TPictureOffer;

// The window's clipboard roads. A paste from a picture another program holds
// is read and decoded off the window's thread and given up when that program
// does not answer; a copy offers our own PNG at once and then makes sure the
// clipboard really holds it.
class TDesktopClipboard : public QObject {
    Q_OBJECT
public:
    explicit TDesktopClipboard(QObject* Parent = nullptr);
    ~TDesktopClipboard() override;

    // What the toolkit's clipboard offers for a copied picture.
    static QMimeData* MakeOffer(const QImage& Picture);

    // Starts a paste; PasteFinished follows, at once when nothing has to be
    // waited for. While one is on its way, another click adds nothing.
    void StartPaste(TTrace Trace);
    bool Pasting() const { return Paste_.isRunning(); }

    // After a copy: the copy is complete once its PNG is ready, and until
    // then the clipboard must go on holding it; a copy that does not reach
    // the clipboard, or leaves it before it is complete, is reported.
    void CheckCopy(TTrace Trace);

signals:
    void PasteFinished(const nebulo::TFetchResult& Result);
    // A failure for the application's error report.
    void Failed(std::exception_ptr Failure);

private:
    void ClipboardChanged(QClipboard::Mode Mode);
    void CopyLost();

    QPointer<const TPictureOffer> Checked_;
    bool Checking_ = false;
    QThreadPool Workers_;
    QFutureWatcher<TFetchResult> Paste_;
};

// Our own offer, where the clipboard holds one. On X11 the X server is asked
// who holds the clipboard (the program that holds it plays no part).
const TPictureOffer* HeldOffer();

} // namespace nebulo
