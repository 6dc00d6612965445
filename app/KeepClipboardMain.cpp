// nebulo-keep-clipboard: started by Nebulo as it ends, it keeps the copied
// picture (PNG bytes on standard input) on the clipboard until another
// program copies something or a clipboard manager has saved it.
#include "app/CommandLine.h"
#include "clipboard/ClipboardKeeper.h"

#include <QGuiApplication>

#include <unistd.h>

int main(int argc, char* argv[])
{
    if (const auto Status = nebulo::AnswerHelpOrVersion(argc, argv, nebulo::KeeperHelp))
        return *Status;
    // Nothing of the window's program stays open here but the two pipes.
    ::close_range(STDERR_FILENO + 1, ~0U, 0);
    QGuiApplication Qt(argc, argv);
    return nebulo::ServeKeptCopy(STDIN_FILENO, STDOUT_FILENO);
}
