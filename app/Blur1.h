#pragma once

#include "desktop/PasteFetch.h"
#include "toolkit/widgets/Form.h"
#include "toolkit/widgets/Messages.h"

#include <array>
#include <exception>

namespace nebulo {

class TBevel;
class TCheckBox;
class TDesktopClipboard;
class TLabel;
class TPanel;
class TSDIB;
class TSpeedButton;
class TTrackBar;
class TZImage;

// The system menu's About entry.
constexpr uintptr_t AboutCommand = 97;

// The main window: pastes a picture, blurs it (with a white border when
// asked), shows it zoomed and panned, and copies it back. Everything it knows
// lives in its controls.
class TForm1 : public TForm {
    Q_OBJECT
public:
    explicit TForm1(QWidget* Parent = nullptr);

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

public slots:
    void FormCreate(QObject* Sender);
    void SpeedButton1Click(QObject* Sender);
    void SpeedButton2Click(QObject* Sender);
    void TrackBar1Change(QObject* Sender);
    void SpeedButton4Click(QObject* Sender);
    void SpeedButton3Click(QObject* Sender);
    void SpeedButton5Click(QObject* Sender);

public:
    // Shows a picture that arrived (by a paste or any other road) as a paste
    // does: at 100 %, picture controls enabled, zoom tool selected.
    void ShowPicture(const TIncomingPicture& Picture, TTrace Trace = TTrace("show"));

private:
    void PasteFinished(const TFetchResult& Result);
    void Report(std::exception_ptr Failure);
    void BlurPicture();
    void AppMessage(TMsg& Msg, bool& Handled);
    // The controls a paste enables, in their order.
    std::array<QWidget*, 6> PictureControls() const;

    TDesktopClipboard* DesktopClipboard_;
};

// The main window of the running program.
extern TForm1* Form1;

// Makes the classes of the main window's layout known to the layout reader.
void RegisterBlur1Classes();

} // namespace nebulo
