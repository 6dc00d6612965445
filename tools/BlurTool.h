#pragma once

#include <QStringList>

#include <iosfwd>

namespace nebulo {

// Exit codes of nebulo-blur.
constexpr int ExitOk = 0;
constexpr int ExitBadInput = 1;  // unreadable or invalid input, failed output
constexpr int ExitRefused = 2;   // bad arguments, amount out of range, picture too large

// nebulo-blur [--border] [--bench N] --amount A INPUT OUTPUT: runs the Blur
// command on a picture file. Arguments include the program name.
int RunBlurTool(const QStringList& Arguments, std::istream& In, std::ostream& Out, std::ostream& Err);

} // namespace nebulo
