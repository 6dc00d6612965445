#include "tests/tools/ToolRun.h"

#include <QFile>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace nebulo::test {

namespace {

// A temporary file, gone when closed.
class TScratchFile {
public:
    TScratchFile() : File_(std::tmpfile()) {}
    ~TScratchFile()
    {
        if (File_ != nullptr)
            std::fclose(File_);
    }
    TScratchFile(const TScratchFile&) = delete;
    TScratchFile& operator=(const TScratchFile&) = delete;
    int Fd() const { return File_ != nullptr ? fileno(File_) : -1; }
    QByteArray ReadAll() const
    {
        QFile File;
        if (Fd() < 0 || ::lseek(Fd(), 0, SEEK_SET) != 0 || !File.open(Fd(), QIODevice::ReadOnly))
            return {};
        return File.readAll();
    }

private:
    std::FILE* File_;
};

} // namespace

TRun RunTool(const QStringList& Arguments, const TRunSetup& Setup)
{
    TScratchFile In, Out, Err;
    if (Setup.InputPath.isEmpty()) {
        EXPECT_EQ(::write(In.Fd(), Setup.Input.constData(), size_t(Setup.Input.size())), Setup.Input.size());
    }
    ::lseek(In.Fd(), 0, SEEK_SET);
    const int InputFd = Setup.InputPath.isEmpty() ? In.Fd() : ::open(QFile::encodeName(Setup.InputPath), O_RDONLY);
    EXPECT_GE(InputFd, 0) << Setup.InputPath.toStdString();

    // Everything the child needs is made before the fork: after it, only
    // calls that are safe in a copy of a threaded process.
    std::vector<std::string> Strings{NEBULO_BLUR_PROGRAM};
    for (const QString& Argument : Arguments)
        Strings.push_back(Argument.toStdString());
    std::vector<char*> Argv;
    for (std::string& S : Strings)
        Argv.push_back(S.data());
    Argv.push_back(nullptr);
    const rlimit AddressSpace{Setup.AddressSpace, Setup.AddressSpace};
    const rlimit FileSize{Setup.FileSize, Setup.FileSize};

    const pid_t Child = ::fork();
    if (Child == 0) {
        ::dup2(InputFd, 0);
        ::dup2(Out.Fd(), 1);
        ::dup2(Err.Fd(), 2);
        ::setrlimit(RLIMIT_AS, &AddressSpace);
        ::setrlimit(RLIMIT_FSIZE, &FileSize);
        ::signal(SIGXFSZ, SIG_IGN);
        ::execv(Argv[0], Argv.data());
        ::_exit(127);
    }
    if (InputFd != In.Fd() && InputFd >= 0)
        ::close(InputFd);
    TRun Run;
    if (Child < 0) {
        ADD_FAILURE() << "cannot start " << NEBULO_BLUR_PROGRAM;
        return Run;
    }
    int Status = 0;
    rusage Usage{};
    const auto Deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    pid_t Ended = 0;
    while ((Ended = ::wait4(Child, &Status, WNOHANG, &Usage)) == 0 && std::chrono::steady_clock::now() < Deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    if (Ended == 0) {
        ::kill(Child, SIGKILL);
        ::wait4(Child, &Status, 0, &Usage);
        ADD_FAILURE() << "nebulo-blur did not end within a minute";
    }
    Run.ExitCode = WIFEXITED(Status) ? WEXITSTATUS(Status) : -1;
    Run.Signal = WIFSIGNALED(Status) ? WTERMSIG(Status) : 0;
    Run.Out = Out.ReadAll();
    Run.Err = QString::fromUtf8(Err.ReadAll());
    Run.PeakKilobytes = Usage.ru_maxrss;
    return Run;
}

bool UnderAddressSanitizer()
{
#if defined(__SANITIZE_ADDRESS__)
    return true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    return true;
#else
    return false;
#endif
#else
    return false;
#endif
}

} // namespace nebulo::test
