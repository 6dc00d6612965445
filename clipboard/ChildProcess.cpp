#include "clipboard/ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

extern char** environ;

namespace nebulo {

namespace {

// Milliseconds left until Deadline, at least 0.
int MillisecondsUntil(TDeadline Deadline)
{
    const auto Left =
        std::chrono::duration_cast<std::chrono::milliseconds>(Deadline - std::chrono::steady_clock::now()).count();
    return Left > 0 ? int(Left) : 0;
}

// Whether Events come on Descriptor before Deadline.
bool AwaitReady(int Descriptor, short Events, TDeadline Deadline)
{
    for (;;) {
        pollfd Wait{Descriptor, Events, 0};
        const int Ready = ::poll(&Wait, 1, MillisecondsUntil(Deadline));
        if (Ready < 0 && errno == EINTR)
            continue;
        return Ready == 1;
    }
}

} // namespace

void TFileDescriptor::Reset(int Value)
{
    Close();
    Value_ = Value;
}

void TFileDescriptor::Close()
{
    if (Value_ >= 0)
        ::close(Value_);
    Value_ = -1;
}

bool MakePipe(TPipe& Pipe)
{
    int Ends[2];
    if (::pipe2(Ends, O_CLOEXEC) != 0)
        return false;
    Pipe.Read.Reset(Ends[0]);
    Pipe.Write.Reset(Ends[1]);
    return true;
}

pid_t StartDetached(const char* Program, const char* const Arguments[], int Input, int Output)
{
    posix_spawn_file_actions_t Actions;
    posix_spawn_file_actions_init(&Actions);
    posix_spawn_file_actions_adddup2(&Actions, Input, STDIN_FILENO);
    if (Output >= 0)
        posix_spawn_file_actions_adddup2(&Actions, Output, STDOUT_FILENO);
    else
        posix_spawn_file_actions_addopen(&Actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&Actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawnattr_t Attributes;
    posix_spawnattr_init(&Attributes);
    posix_spawnattr_setflags(&Attributes, POSIX_SPAWN_SETSID);
    pid_t Child = 0;
    const int Status =
        posix_spawnp(&Child, Program, &Actions, &Attributes, const_cast<char* const*>(Arguments), environ);
    posix_spawnattr_destroy(&Attributes);
    posix_spawn_file_actions_destroy(&Actions);
    return Status == 0 ? Child : 0;
}

bool WriteAll(int To, const QByteArray& Bytes, TDeadline Deadline)
{
    // A reader that died must not end this program with SIGPIPE.
    ::signal(SIGPIPE, SIG_IGN);
    const int Flags = ::fcntl(To, F_GETFL);
    if (Flags < 0 || ::fcntl(To, F_SETFL, Flags | O_NONBLOCK) != 0)
        return false;
    const char* At = Bytes.constData();
    qsizetype Left = Bytes.size();
    while (Left > 0) {
        const ssize_t Written = ::write(To, At, size_t(Left));
        if (Written < 0 && errno == EINTR)
            continue;
        if (Written < 0 && errno == EAGAIN) {
            if (!AwaitReady(To, POLLOUT, Deadline))
                return false;
            continue;
        }
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

bool ReadByte(int From, TDeadline Deadline)
{
    char Byte = 0;
    return AwaitReady(From, POLLIN, Deadline) && ::read(From, &Byte, 1) == 1;
}

std::optional<int> WaitForExit(pid_t Child, TDeadline Deadline)
{
    // Debian 12's C library declares pidfd_open for C only.
    const TFileDescriptor Handle(int(::syscall(SYS_pidfd_open, Child, 0)));
    if (Handle.Get() < 0 || !AwaitReady(Handle.Get(), POLLIN, Deadline))
        return std::nullopt;
    int Status = 0;
    while (::waitpid(Child, &Status, 0) < 0)
        if (errno != EINTR)
            return std::nullopt;
    return WIFEXITED(Status) ? WEXITSTATUS(Status) : -1;
}

} // namespace nebulo
