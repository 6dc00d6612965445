#include "tools/BlurTool.h"

#include <QCoreApplication>
#include <QThreadPool>

#include <cstdlib>
#include <iostream>
#include <system_error>
#include <thread>

int main(int argc, char* argv[])
{
    // Qt's picture readers for formats other than BMP come as plugins.
    QCoreApplication Application(argc, argv);
    // Qt converts large pictures on its global thread pool, and waits for
    // ever for a worker that could not be started (no memory for its stack).
    // On one of the pool's own threads it converts in that thread: the tool
    // runs there, once a thread is known to start.
    try {
        std::thread([] {}).join();
    } catch (const std::system_error&) {
        std::cerr << "nebulo-blur: Out of memory\n";
        return nebulo::ExitBadInput;
    }
    int Status = nebulo::ExitBadInput;
    QThreadPool::globalInstance()->start([&Status] {
        Status = nebulo::RunBlurTool(QCoreApplication::arguments(), std::cin, std::cout, std::cerr);
    });
    QThreadPool::globalInstance()->waitForDone();
    // After a failure, above all once memory ran out, Qt's own teardown can
    // fail in turn (a warning at exit that finds no memory to be logged):
    // the tool has left nothing behind, so it ends here.
    if (Status != 0) {
        std::cout.flush();
        std::cerr.flush();
        std::_Exit(Status);
    }
    return Status;
}
