#include "clipboard/ClipboardKeeper.h"

#include "clipboard/ChildProcess.h"
#include "clipboard/DesktopClipboard.h"
#include "clipboard/ManagerHandOff.h"
#include "clipboard/PictureOffer.h"
#include "pictureio/PictureBytes.h"
#include "pictureio/Trace.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QTimer>

#include <signal.h>
#include <unistd.h>

#include <optional>

namespace nebulo {

namespace {

using namespace std::chrono_literals;
using TClock = std::chrono::steady_clock;

// How long the window's program waits for the keeper to take the clipboard,
// on a loaded machine; it takes a few hundred milliseconds at the largest
// picture.
constexpr auto KeeperStart = 5000ms;
// How long it then waits to hear that the keeper holds the clipboard: until
// then Qt would ask a clipboard manager to save the copy itself, and wait
// seconds for it, as this program ends.
constexpr auto KeeperHeard = 1000ms;
// How long a clipboard manager has to save everything the keeper offers
// (a few tenths of a second at the largest picture); one that has not
// answered by then is not waited for, and the keeper keeps the copy.
constexpr auto ManagerPatience = 1000ms;
// How long wl-copy has to take the PNG and hold the clipboard.
constexpr auto WlCopyStart = 2000ms;

// Runs this thread's events until Qt has heard that another program holds
// the clipboard, at most Patience.
void AwaitClipboardTaken(std::chrono::milliseconds Patience)
{
    QClipboard* System = QGuiApplication::clipboard();
    if (!System->ownsClipboard())
        return;
    QEventLoop Loop;
    QObject::connect(System, &QClipboard::changed, &Loop, [System, &Loop] {
        if (!System->ownsClipboard())
            Loop.quit();
    });
    QTimer::singleShot(Patience, &Loop, &QEventLoop::quit);
    Loop.exec();
}

// X11: the keeper takes the clipboard over from this program directly.
pid_t HandToKeeper(const QByteArray& Png)
{
    const TDeadline Deadline = TClock::now() + KeeperStart;
    TPipe Input;
    TPipe Ready;
    if (!MakePipe(Input) || !MakePipe(Ready))
        return 0;
    const QByteArray Program =
        (QCoreApplication::applicationDirPath() + "/" NEBULO_KEEPER_FOLDER "/" + QLatin1String(KeeperProgramName))
            .toLocal8Bit();
    const char* const Arguments[] = {KeeperProgramName, nullptr};
    const pid_t Keeper = StartDetached(Program.constData(), Arguments, Input.Read.Get(), Ready.Write.Get());
    Input.Read.Close();
    Ready.Write.Close();
    if (Keeper == 0 || !WriteAll(Input.Write.Get(), Png, Deadline))
        return 0;
    Input.Write.Close();
    if (!ReadByte(Ready.Read.Get(), Deadline))
        return 0;
    AwaitClipboardTaken(KeeperHeard);
    return Keeper;
}

// Wayland: wl-copy holds the clipboard once the process started here has
// handed it to a process of its own and ended.
bool HandToWlCopy(const QByteArray& Png)
{
    const TDeadline Deadline = TClock::now() + WlCopyStart;
    TPipe Input;
    if (!MakePipe(Input))
        return false;
    const char* const Arguments[] = {"wl-copy", "--type", TPictureOffer::PngType, nullptr};
    const pid_t Copier = StartDetached("wl-copy", Arguments, Input.Read.Get(), -1);
    Input.Read.Close();
    if (Copier == 0)
        return false;
    const bool Written = WriteAll(Input.Write.Get(), Png, Deadline);
    Input.Write.Close();
    const std::optional<int> Status = WaitForExit(Copier, Deadline);
    if (!Status) {
        // Still waiting for the desktop: the copy goes with this program.
        ::kill(Copier, SIGTERM);
        WaitForExit(Copier, TClock::now() + 1s);
        return false;
    }
    return Written && *Status == 0;
}

} // namespace

void KeepCopyAfterExit()
{
    const QString Platform = QGuiApplication::platformName();
    const bool X11 = Platform == "xcb";
    const TPictureOffer* Offer = HeldOffer();
    if ((!X11 && !Platform.startsWith("wayland")) || Offer == nullptr)
        return;
    TTrace Trace("keep");
    Trace.SetSize(Offer->Picture().width(), Offer->Picture().height());
    const QByteArray Png = Offer->Png();
    Trace.Mark("encoded");
    if (Png.isEmpty())
        return;
    QString Keeper;
    if (!X11) {
        if (HandToWlCopy(Png))
            Keeper = "wl-copy";
    } else if (const pid_t Process = HandToKeeper(Png)) {
        Keeper = QString("process %1").arg(Process);
    }
    if (Keeper.isEmpty())
        return;
    Trace.Mark("handed");
    Trace.Note(Keeper);
    Trace.Print();
}

int ServeKeptCopy(int Input, int Ready)
{
    QByteArray Png;
    if (!ReadAll(Input, PictureByteLimit, Png))
        return 1;
    const QImage Picture = QImage::fromData(Png, "PNG");
    if (Picture.isNull())
        return 1;
    QClipboard* System = QGuiApplication::clipboard();
    System->setMimeData(new TPictureOffer(Picture, Png));
    QObject::connect(System, &QClipboard::changed, [System](QClipboard::Mode Mode) {
        if (Mode == QClipboard::Clipboard && !System->ownsClipboard())
            QCoreApplication::quit();
    });
    const char Byte = 1;
    if (::write(Ready, &Byte, 1) != 1)
        return 1;
    ::close(Ready);

    const TManagerHandOff HandOff(ManagerPatience);
    return QCoreApplication::exec();
}

} // namespace nebulo
