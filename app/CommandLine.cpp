#include "app/CommandLine.h"

#include <iostream>

namespace nebulo {

const TProgramHelp WindowHelp{"nebulo", R"(Usage: nebulo [QT-OPTION]...

Opens Nebulo's window, which softens pictures with a Gaussian blur: paste a
picture from the clipboard, blur it, and copy the result back. It reads no
files and takes no arguments of its own besides these; Qt's options
(-platform NAME, -display DISPLAY, -style NAME ...) go to Qt, and anything
else is ignored.

  -h, --help   show this text and end
  --version    show the version and end

nebulo-blur blurs picture files from the command line.
)"};

const TProgramHelp KeeperHelp{"nebulo-keep-clipboard", R"(Usage: nebulo-keep-clipboard < PICTURE.png

Nebulo starts this program as its window closes, with the copied picture on
standard input, when nothing else would keep it: it keeps the picture on the
clipboard until another program copies something, then ends. It is not meant
to be run by hand.

  -h, --help   show this text and end
  --version    show the version and end
)"};

std::optional<int> AnswerHelpOrVersion(const QStringList& Arguments, const TProgramHelp& Program, std::ostream& Out,
                                       std::ostream& Err)
{
    for (qsizetype I = 1; I < Arguments.size(); ++I) {
        const QString& Argument = Arguments[I];
        if (Argument == "--help" || Argument == "-h")
            Out << Program.Help;
        else if (Argument == "--version")
            Out << Program.Name << ' ' << NEBULO_VERSION << '\n';
        else
            continue;
        if (Out.flush())
            return 0;
        Err << Program.Name << ": cannot write to standard output\n";
        return 1;
    }
    return std::nullopt;
}

std::optional<int> AnswerHelpOrVersion(int Count, char* Values[], const TProgramHelp& Program)
{
    QStringList Arguments;
    for (int I = 0; I < Count; ++I)
        Arguments << QString::fromLocal8Bit(Values[I]);
    return AnswerHelpOrVersion(Arguments, Program, std::cout, std::cerr);
}

} // namespace nebulo
