#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <sys/resource.h>

namespace nebulo::test {

// How a run of nebulo-blur ended, with the most memory it held.
struct TRun {
    int ExitCode = -1;
    int Signal = 0; // the signal that ended it, 0 when it exited
    QByteArray Out;
    QString Err;
    long PeakKilobytes = 0;
};

struct TRunSetup {
    QByteArray Input;       // standard input, unless InputPath is given
    QString InputPath;      // a file to take standard input from
    rlim_t AddressSpace = RLIM_INFINITY; // bytes
    rlim_t FileSize = RLIM_INFINITY;     // bytes; a larger write fails instead of ending the run
};

// Runs the program as a direct child and waits for it, a minute at most.
TRun RunTool(const QStringList& Arguments, const TRunSetup& Setup = {});

// Whether the program runs under AddressSanitizer, which reserves more address
// space at start than any limit would give and keeps freed blocks resident
// for a while.
bool UnderAddressSanitizer();

} // namespace nebulo::test
