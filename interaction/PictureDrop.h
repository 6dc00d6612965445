#pragma once

#include "toolkit/core/Exceptions.h"

#include <QImage>

class QMimeData;

namespace nebulo {

// A drop that holds no picture Nebulo can take; the text says what was
// dropped and why.
class EDropError : public Exception {
public:
    using Exception::Exception;
};

// Whether a drag may bring a picture: picture data or files. Whether a file
// is a picture is only known when it is read, and a drop that brings none is
// told why, so files of any kind and places are taken.
bool MayHoldPicture(const QMimeData& Data);

// The picture a drop brings: its first file's when that lies on this
// computer, else its picture data. Fails with EDropError for a file that is
// no picture or cannot be read, for files elsewhere and for data that is no
// picture.
QImage DroppedPicture(const QMimeData& Data);

// The picture in the file at Path, decoded from its content whatever its
// name; fails with EDropError.
QImage ReadPictureFile(const QString& Path);

} // namespace nebulo
