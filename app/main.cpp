#include "app/About.h"
#include "app/Blur1.h"
#include "desktop/ClipboardKeeper.h"
#include "dib/CDIBs.h"
#include "toolkit/widgets/Application.h"
#include "toolkit/widgets/SpeedButton.h"

int main(int argc, char* argv[])
{
    using namespace nebulo;
    TGuardedApplication Qt(argc, argv);
    // Module initialisations; the DIB graphic class registers itself last.
    RegisterBlur1Classes();
    RegisterDIBGraphicClass();

    Application().Initialize();
    QApplication::setWindowIcon(TransparentPicture(":/icons/MAINICON.bmp"));
    Application().CreateForm(Form1);
    Application().CreateForm(AboutBox);
    const int Status = Application().Run();
    KeepCopyAfterExit();
    return Status;
}
