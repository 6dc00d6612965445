#include "app/About.h"
#include "app/Blur1.h"
#include "app/CommandLine.h"
#include "app/ProcessSettings.h"
#include "clipboard/ClipboardKeeper.h"
#include "clipboard/DesktopClipboard.h"
#include "dib/CDIBs.h"
#include "toolkit/core/Clipboard.h"
#include "toolkit/widgets/Application.h"
#include "toolkit/widgets/PixelScale.h"
#include "toolkit/widgets/SpeedButton.h"

int main(int argc, char* argv[])
{
    using namespace nebulo;
    if (const auto Status = AnswerHelpOrVersion(argc, argv, WindowHelp))
        return *Status;
    SettleProcess();
    TGuardedApplication Qt(argc, argv);
    // Wayland desktops find the launcher entry and icon by this name.
    QGuiApplication::setDesktopFileName(NEBULO_APP_ID);
    // Module initialisations; the DIB graphic class registers itself last.
    RegisterBlur1Classes();
    RegisterDIBGraphicClass();

    // A copy offers our own PNG, encoded off the window's thread.
    Clipboard().SetPictureOfferMaker(&TDesktopClipboard::MakeOffer);

    Application().Initialize();
    QApplication::setWindowIcon(SharpIcon(TransparentPicture(":/icons/MAINICON.bmp"), PixelScale()));
    Application().CreateForm(Form1);
    Application().CreateForm(AboutBox);
    const int Status = Application().Run();
    KeepCopyAfterExit();
    return Status;
}
