#pragma once

#include "interaction/PictureDocument.h"
#include "pictureio/IncomingRoad.h"
#include "toolkit/widgets/Form.h"
#include "toolkit/widgets/Messages.h"

#include <array>
#include <exception>
#include <memory>

namespace nebulo {

class TAccessibility;
class TBevel;
class TCheckBox;
class TDesktopClipboard;
class TInteraction;
class TLabel;
class TPanel;
class TPersistent;
class TSDIB;
class TSpeedButton;
class TTrackBar;
class TZImage;

// The system menu's About entry.
constexpr uintptr_t AboutCommand = 97;

// The main window: pastes a picture, blurs it (with a white border when
// asked), shows it zoomed and panned, and copies it back. The picture shown
// lives in its view; the picture as pasted and its history in its document.
class TForm1 : public TForm {
    Q_OBJECT
public:
    explicit TForm1(QWidget* Parent = nullptr);
    ~TForm1() override;

    TSpeedButton* SpeedButton1; // Move tool
    TSpeedButton* SpeedButton2; // Zoom tool
    TPanel* Panel1;
    TZImage* ZImage1;
    TSDIB* SDIB1;
    TCheckBox* CheckBox1; // Add Border
    TTrackBar* TrackBar1; // blur amount
    TLabel* Label3;       // blur amount display
    TSpeedButton* SpeedButton3; // Copy to Clipboard
    TSpeedButton* SpeedButton4; // Paste from Clipboard
    TSpeedButton* SpeedButton5; // Blur
    TBevel* Bevel1;

    TPictureDocument Document;

    // The road every picture takes in (a paste, a drop): one at a time, the
    // newest replacing the one on its way; what arrives is shown.
    TIncomingRoad& IncomingRoad() { return IncomingRoad_; }
    // What a paste does once the picture is there, whatever road it came by
    // (the clipboard, a drop): shows it at 100 %, starts the document afresh,
    // selects zoom.
    void ShowPastedPicture(const TIncomingPicture& Picture, TTrace Trace = TTrace("show"));

signals:
    // A paste or a drop put a new picture in the view.
    void Pasted();
    // A Blur replaced the view's picture.
    void Blurred();

public slots:
    void FormCreate(QObject* Sender);
    void SpeedButton1Click(QObject* Sender);
    void SpeedButton2Click(QObject* Sender);
    void TrackBar1Change(QObject* Sender);
    void SpeedButton4Click(QObject* Sender);
    void SpeedButton3Click(QObject* Sender);
    void SpeedButton5Click(QObject* Sender);

private:
    void PictureArrived(const TArrival& Arrival);
    void Report(std::exception_ptr Failure);
    void BlurPicture();
    void AppMessage(TMsg& Msg, bool& Handled);
    // The controls a picture wakes, in their order.
    std::array<QWidget*, 6> PictureControls() const;
    // Every control's state, from the document.
    void UpdateControls();

    TDesktopClipboard* DesktopClipboard_;
    TIncomingRoad IncomingRoad_;
    std::unique_ptr<TInteraction> Interaction_;
    std::unique_ptr<TAccessibility> Accessibility_;
};

// The main window of the running program.
extern TForm1* Form1;

// Makes the classes of the main window's layout known to the layout reader.
void RegisterBlur1Classes();

} // namespace nebulo
