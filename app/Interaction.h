#pragma once

#include "interaction/KeyCommands.h"
#include "toolkit/core/Mouse.h"

#include <QObject>

class QMimeData;

namespace nebulo {

class TBitmap;
class TForm1;
class TForeignDrops;
class TWindowInput;

// Wires Nebulo's additions to the main window: the command keys, drops and
// Ctrl+wheel, taking back and redoing Blurs, comparing with the picture as
// pasted, and the hints that name the keys and tell what a Blur will do.
// What the window does without them stays as it is.
class TInteraction : public QObject {
    Q_OBJECT
public:
    // Window holds it and accepts drops from now on.
    explicit TInteraction(TForm1& Window);

signals:
    // A Blur was taken back (Back) or redone, and the view shows the step.
    void StepShown(bool Back);

private:
    void Run(TKeyCommand Command);
    void Zoom(TMouseButton Button, bool Shift);
    void ShowStep(TBitmap& Step);
    void TakeDrop(const QMimeData* Data);
    void TakeForeignDrop(uint32_t Source, uint32_t Time, const QStringList& Types);
    void ShowComparison();
    void ShowHints();

    TForm1& Window_;
    TWindowInput* Input_;
    TForeignDrops* ForeignDrops_;
};

} // namespace nebulo
