#include "clipboard/ClipboardKeeper.h"

#include "clipboard/DesktopClipboard.h"
#include "clipboard/PasteFetch.h"
#include "clipboard/PictureOffer.h"
#include "clipboard/X11Selection.h"
#include "pictureio/Trace.h"
#include "toolkit/core/Exceptions.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

extern char** environ;

namespace nebulo {

namespace {

// How long the window's program waits for the keeper to take the clipboard.
constexpr int KeeperStartMilliseconds = 5000;

class TFileDescriptor {
public:
    explicit TFileDescriptor(int Value = -1) : Value_(Value) {}
    ~TFileDescriptor() { Close(); }
    TFileDescriptor(const TFileDescriptor&) = delete;
    TFileDescriptor& operator=(const TFileDescriptor&) = delete;
    int Get() const { return Value_; }
    void Reset(int Value)
    {
        Close();
        Value_ = Value;
    }
    void Close()
    {
        if (Value_ >= 0)
            ::close(Value_);
        Value_ = -1;
    }

private:
    int Value_;
};

struct TPipe {
    TFileDescriptor Read;
    TFileDescriptor Write;
};

bool MakePipe(TPipe& Pipe)
{
    int Ends[2];
    if (::pipe2(Ends, O_CLOEXEC) != 0)
        return false;
    Pipe.Read.Reset(Ends[0]);
    Pipe.Write.Reset(Ends[1]);
    return true;
}

bool WriteAll(int To, const QByteArray& Bytes)
{
    const char* At = Bytes.constData();
    qsizetype Left = Bytes.size();
    while (Left > 0) {
        const ssize_t Written = ::write(To, At, size_t(Left));
        if (Written < 0 && errno == EINTR)
            continue;
        if (Written <= 0)
            return false;
        At += Written;
        Left -= Written;
    }
    return true;
}

bool ReadAll(int From, int64_t Limit, QByteArray& Bytes)
{
    char Buffer[1 << 16];
    for (;;) {
        const ssize_t Got = ::read(From, Buffer, sizeof Buffer);
        if (Got < 0 && errno == EINTR)
            continue;
        if (Got < 0)
            return false;
        if (Got == 0)
            return true;
        if (Bytes.size() + Got > Limit)
            return false;
        Bytes.append(Buffer, Got);
    }
}

// The keeper, started in a session of its own so that it outlives the
// window's program and its terminal; its errors go nowhere.
pid_t StartKeeper(TPipe& Input, TPipe& Ready)
{
    const QByteArray Program =
        (QCoreApplication::applicationDirPath() + "/" NEBULO_KEEPER_FOLDER "/" + QLatin1String(KeeperProgramName))
            .toLocal8Bit();
    posix_spawn_file_actions_t Actions;
    posix_spawn_file_actions_init(&Actions);
    posix_spawn_file_actions_adddup2(&Actions, Input.Read.Get(), STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&Actions, Ready.Write.Get(), STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&Actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawnattr_t Attributes;
    posix_spawnattr_init(&Attributes);
    posix_spawnattr_setflags(&Attributes, POSIX_SPAWN_SETSID);
    char* Arguments[] = {const_cast<char*>(KeeperProgramName), nullptr};
    pid_t Keeper = 0;
    const int Status = posix_spawn(&Keeper, Program.constData(), &Actions, &Attributes, Arguments, environ);
    posix_spawnattr_destroy(&Attributes);
    posix_spawn_file_actions_destroy(&Actions);
    return Status == 0 ? Keeper : 0;
}

bool WaitForReady(int From)
{
    pollfd Wait{From, POLLIN, 0};
    char Byte = 0;
    return ::poll(&Wait, 1, KeeperStartMilliseconds) == 1 && ::read(From, &Byte, 1) == 1;
}

} // namespace

int64_t KeepCopyAfterExit()
{
    if (QGuiApplication::platformName() != "xcb")
        return 0;
    const TPictureOffer* Offer = HeldOffer();
    if (Offer == nullptr)
        return 0;
    TTrace Trace("keep");
    Trace.SetSize(Offer->Picture().width(), Offer->Picture().height());
    try {
        if (TX11Selection().HasOwner("CLIPBOARD_MANAGER"))
            return 0;
    } catch (const Exception&) {
        return 0;
    }
    const QByteArray Png = Offer->Png();
    Trace.Mark("encoded");
    TPipe Input;
    TPipe Ready;
    if (Png.isEmpty() || !MakePipe(Input) || !MakePipe(Ready))
        return 0;
    const pid_t Keeper = StartKeeper(Input, Ready);
    Input.Read.Close();
    Ready.Write.Close();
    // A keeper that died early must not end this program with SIGPIPE.
    ::signal(SIGPIPE, SIG_IGN);
    if (Keeper == 0 || !WriteAll(Input.Write.Get(), Png))
        return 0;
    Input.Write.Close();
    if (!WaitForReady(Ready.Read.Get()))
        return 0;
    Trace.Mark("handed");
    Trace.Note(QString("process %1").arg(Keeper));
    Trace.Print();
    return Keeper;
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
    return QCoreApplication::exec();
}

} // namespace nebulo
