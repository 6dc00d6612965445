#pragma once

#include "pictureio/IncomingRoad.h"
#include "toolkit/core/Exceptions.h"

class QMimeData;

namespace nebulo {

// A drop that holds no picture Nebulo can take; the text says what was
// dropped and why.
class EDropError : public Exception {
public:
    using Exception::Exception;
};

// What a drop's picture data says when it fails.
inline constexpr TRoadTexts DropDataTexts{
    "The program the picture was dragged from did not answer", "The dropped picture data cannot be read",
    "The dropped picture is too large", "The program the picture was dragged from sent too little of it"};

// Whether a drag may bring a picture: picture data or files. Whether a file
// is a picture is only known when it is read, and a drop that brings none is
// told why, so files of any kind and places are taken.
bool MayHoldPicture(const QMimeData& Data);

// The file a drop brings when its first lies on this computer; empty when it
// brings picture data instead. Fails with EDropError for files elsewhere and
// for a drop that is no picture.
QString DroppedFilePath(const QMimeData& Data);

// The transport of a drop, looked at now (Data is valid during the call
// only) and run on the incoming road: its file read there, or its picture
// data as Qt hands it over now. Fails with EDropError as DroppedFilePath.
TIncomingRoad::TTransport DropTransport(const QMimeData& Data, TTrace Trace, const TWaitLimits& Limits = {});

// The bytes of the file at Path, its content whatever its name: at most
// PictureFileLimit, and given up on a file that keeps the reader waiting
// past the patience or the overall deadline (a pipe nobody writes to), or
// that goes on and on (a device). Fails with EDropError, naming the file.
QByteArray ReadDroppedFile(const QString& Path, const TWaitLimits& Limits, std::stop_token Stop);

// A dropped file's whole road: read as above, decoded and prepared; what
// fails says why, naming the file.
TArrival ArrivalFromFile(const QString& Path, TTrace Trace, const TWaitLimits& Limits, std::stop_token Stop);

} // namespace nebulo
