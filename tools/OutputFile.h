#pragma once

#include <QByteArray>
#include <QString>

namespace nebulo {

// Writes Bytes as the file Path, whole or not at all: into a new file beside
// it, renamed over it once every byte is on the disk, with the old file's
// permissions. A symbolic link is written through and stays a link; what is
// not a regular file (a device, a pipe) is written into directly. An existing
// file that may not be written, or that grants nobody write permission, is
// refused and left as it is. Failures are TToolError with the system's reason.
void WriteWholeFile(const QString& Path, const QByteArray& Bytes);

// Writes every byte to the open descriptor Fd; Name is what a failure names.
void WriteAll(int Fd, const QByteArray& Bytes, const QString& Name);

} // namespace nebulo
