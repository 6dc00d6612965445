#include "app/About.h"
#include "app/Blur1.h"
#include "app/CommandLine.h"
#include "clipboard/ClipboardKeeper.h"
#include "clipboard/DesktopClipboard.h"
#include "dib/CDIBs.h"
#include "toolkit/core/Clipboard.h"
#include "toolkit/widgets/Application.h"
#include "toolkit/widgets/PixelScale.h"
#include "toolkit/widgets/SpeedButton.h"

#include <csignal>
#include <malloc.h>

namespace {

// A command's pictures are a few blocks of up to 16 MB (a 2023 x 2023 picture
// at 32 bits), freed by one thread and wanted again by the next command on
// another. Taken from one heap that keeps what is freed, a block comes back
// with its pages in place, where a fresh one costs a page fault per 4 KB
// (about 3000 for a 12 MB picture, milliseconds each command).
void KeepFreedPictureMemory()
{
    constexpr int LargestHeapBlock = 32 << 20; // the most the allocator takes
    constexpr int KeptFree = 128 << 20;
    mallopt(M_ARENA_MAX, 1);
    mallopt(M_MMAP_THRESHOLD, LargestHeapBlock);
    mallopt(M_TRIM_THRESHOLD, KeptFree);
}

} // namespace

int main(int argc, char* argv[])
{
    using namespace nebulo;
    if (const auto Status = AnswerHelpOrVersion(argc, argv, WindowHelp))
        return *Status;
    // Before Qt starts a thread.
    KeepFreedPictureMemory();
    TGuardedApplication Qt(argc, argv);
    // Wayland desktops find the launcher entry and icon by this name.
    QGuiApplication::setDesktopFileName(NEBULO_APP_ID);
    // Module initialisations; the DIB graphic class registers itself last.
    RegisterBlur1Classes();
    RegisterDIBGraphicClass();

    // A copy offers our own PNG, encoded off the window's thread.
    Clipboard().SetPictureOfferMaker(&TDesktopClipboard::MakeOffer);
    // A reader that went away (the keeper of a copy) fails a write with an
    // error, rather than ending the program.
    ::signal(SIGPIPE, SIG_IGN);

    Application().Initialize();
    QApplication::setWindowIcon(SharpIcon(TransparentPicture(":/icons/MAINICON.bmp"), PixelScale()));
    Application().CreateForm(Form1);
    Application().CreateForm(AboutBox);
    const int Status = Application().Run();
    KeepCopyAfterExit();
    return Status;
}
