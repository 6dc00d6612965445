#pragma once

#include <QObject>

namespace nebulo {

class TAnnouncer;
class TForm1;
class TInteraction;

// Makes the main window usable without a mouse and with a screen reader:
// names, keys and values for every control, the Tab order in the order the
// controls are seen, the picture view named with what it shows, and each
// change a command shows told to screen readers.
class TAccessibility : public QObject {
    Q_OBJECT
public:
    // Window holds it; Additions reports the Blurs taken back and redone.
    TAccessibility(TForm1& Window, TInteraction& Additions);

private:
    void NamePictureControls();
    void OrderTabStops();
    void PictureShown(const QString& News);

    TForm1& Window_;
    TAnnouncer* Announcer_;
};

// Gives the program's windows and its picture view the roles screen readers
// know them by: a frame, a dialog, an image. Safe to call more than once.
void RegisterAccessibleWindows();

} // namespace nebulo
