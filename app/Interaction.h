#pragma once

#include "interaction/KeyCommands.h"
#include "interaction/PictureHistory.h"
#include "toolkit/core/Mouse.h"

#include <QObject>

class QMimeData;

namespace nebulo {

class TBitmap;
class TForm1;
class TWindowInput;

// Wires Nebulo's additions to the main window: the command keys, drops and
// Ctrl+wheel, taking back and redoing Blurs, comparing with the picture as
// pasted, and the hints that name the keys and tell what a Blur will do.
// What the window does without them stays as it is.
class TInteraction : public QObject {
    Q_OBJECT
public:
    // A child of Window, which accepts drops from now on.
    explicit TInteraction(TForm1& Window);

signals:
    // A Blur was taken back (Back) or redone, and the view shows the step.
    void StepShown(bool Back);

private:
    void Run(TKeyCommand Command);
    void Zoom(TMouseButton Button, bool Shift);
    void ShowStep(TBitmap& Step);
    void TakeDrop(const QMimeData* Data);
    void StartHistory();
    void AddBlurToHistory();
    void ShowComparison();
    void ShowHints();

    TForm1& Window_;
    TWindowInput* Input_;
    TPictureHistory History_;
};

} // namespace nebulo
