#pragma once

#include <QStringList>

#include <iosfwd>
#include <optional>

namespace nebulo {

// What a program says for --help (or -h), and the name its --version line starts with.
struct TProgramHelp {
    const char* Name;
    const char* Help;
};

extern const TProgramHelp WindowHelp; // nebulo
extern const TProgramHelp KeeperHelp; // nebulo-keep-clipboard

// The options every Nebulo program answers before it starts anything, so
// they need no display: when Arguments (the program's name first) hold
// --help, -h or --version, the first of them is answered on Out ("nebulo 1.0"
// for the version) and the exit status is returned; otherwise nothing, and
// the program goes on with its arguments as they are.
std::optional<int> AnswerHelpOrVersion(const QStringList& Arguments, const TProgramHelp& Program, std::ostream& Out,
                                       std::ostream& Err);

// The same with main's own arguments, before any application object exists.
std::optional<int> AnswerHelpOrVersion(int Count, char* Values[], const TProgramHelp& Program);

} // namespace nebulo
