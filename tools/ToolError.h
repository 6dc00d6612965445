#pragma once

#include "tools/BlurTool.h"

#include <QString>

namespace nebulo {

// A failure of nebulo-blur: the line it prints and the exit status it ends with.
class TToolError {
public:
    explicit TToolError(QString Text, int ExitCode = ExitBadInput) : Text(std::move(Text)), ExitCode(ExitCode) {}
    QString Text;
    int ExitCode;
};

} // namespace nebulo
