#pragma once

#include "desktop/PasteFetch.h"
#include "desktop/Trace.h"

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

    // After a copy: checks that the clipboard holds the offer just made and
    // finishes the copy's trace when the PNG is ready.
    void CheckCopy(TTrace Trace);

signals:
    void PasteFinished(const nebulo::TFetchResult& Result);
    // A failure for the application's error report.
    void Failed(std::exception_ptr Failure);

private:
    void CopyChecked(bool Held);

    // The X server turned the latest copy down while Qt believes it holds the
    // clipboard: a paste must not take Qt's word for it.
    bool CopyRefused_ = false;
    QThreadPool Workers_;
    QFutureWatcher<TFetchResult> Paste_;
    QFutureWatcher<bool> Check_;
};

// The type by which our own copy knows itself among the clipboard's types.
QByteArray OwnOfferMarker();

} // namespace nebulo
