#include <QByteArray>
#include <QGuiApplication>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdio>

extern char** environ;

namespace {

// A private X server for the whole program: it must be there before Qt
// connects and stay until Qt has let go, so it lives in main.
class TPrivateServer {
public:
    TPrivateServer()
    {
        int Ends[2];
        if (::pipe2(Ends, O_CLOEXEC) != 0)
            return;
        posix_spawn_file_actions_t Actions;
        posix_spawn_file_actions_init(&Actions);
        posix_spawn_file_actions_adddup2(&Actions, Ends[1], STDOUT_FILENO);
        posix_spawn_file_actions_addopen(&Actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        // Without -noreset the server resets when its last client leaves, and
        // turns away a client that connects meanwhile.
        const char* Arguments[] = {"Xvfb", "-displayfd", "1", "-screen", "0", "64x64x24", "-nolisten", "tcp",
                                   "-noreset", nullptr};
        if (posix_spawnp(&Pid_, "Xvfb", &Actions, nullptr, const_cast<char**>(Arguments), environ) != 0)
            Pid_ = 0;
        posix_spawn_file_actions_destroy(&Actions);
        ::close(Ends[1]);
        if (Pid_ != 0)
            Display_ = ReadDisplayNumber(Ends[0]);
        ::close(Ends[0]);
    }
    ~TPrivateServer()
    {
        if (Pid_ == 0)
            return;
        ::kill(Pid_, SIGTERM);
        while (::waitpid(Pid_, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    TPrivateServer(const TPrivateServer&) = delete;
    TPrivateServer& operator=(const TPrivateServer&) = delete;

    // ":N", or empty when no server came up.
    const QByteArray& Display() const { return Display_; }

private:
    // The server writes its number and a line end once it takes clients.
    static QByteArray ReadDisplayNumber(int From)
    {
        using TClock = std::chrono::steady_clock;
        const TClock::time_point Deadline = TClock::now() + std::chrono::seconds(20);
        QByteArray Number;
        while (!Number.endsWith('\n')) {
            const auto Left = std::chrono::duration_cast<std::chrono::milliseconds>(Deadline - TClock::now());
            pollfd Wait{From, POLLIN, 0};
            if (Left.count() <= 0 || ::poll(&Wait, 1, int(Left.count())) != 1)
                return {};
            char Byte = 0;
            if (::read(From, &Byte, 1) != 1)
                return {};
            Number.append(Byte);
        }
        return ":" + Number.trimmed();
    }

    pid_t Pid_ = 0;
    QByteArray Display_;
};

} // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // Listing the tests needs no display.
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
    TPrivateServer Server;
    if (Server.Display().isEmpty()) {
        std::fprintf(stderr, "no X server could be started\n");
        return 1;
    }
    qputenv("DISPLAY", Server.Display());
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication Application(argc, argv);
    return RUN_ALL_TESTS();
}
