#include "interaction/PictureDrop.h"

#include "pictureio/PictureBytes.h"

#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace nebulo {

namespace {

using TClock = std::chrono::steady_clock;

// Each read takes at most this much; a wait looks this often whether it is
// asked to stop.
constexpr int64_t ReadPiece = int64_t(1) << 20;
constexpr std::chrono::milliseconds StopSlice{50};

std::string Quoted(const QString& Path)
{
    return QStringLiteral("\"%1\"").arg(QFileInfo(Path).fileName()).toStdString();
}

std::string ReaderErrorText(QImageReader::ImageReaderError Error)
{
    switch (Error) {
    case QImageReader::DeviceError: return "the file could not be read";
    case QImageReader::InvalidDataError: return "its data is damaged";
    default: return "the picture could not be decoded";
    }
}

class TFileDescriptor {
public:
    explicit TFileDescriptor(int Fd) : Fd_(Fd) {}
    ~TFileDescriptor()
    {
        if (Fd_ >= 0)
            ::close(Fd_);
    }
    TFileDescriptor(const TFileDescriptor&) = delete;
    TFileDescriptor& operator=(const TFileDescriptor&) = delete;
    int Get() const { return Fd_; }

private:
    int Fd_;
};

// Waits until Fd has bytes or its end; false once the patience or the
// deadline is past, or a stop is asked for.
bool WaitForBytes(int Fd, TClock::time_point Until, const std::stop_token& Stop)
{
    for (;;) {
        const auto Left = std::chrono::duration_cast<std::chrono::milliseconds>(Until - TClock::now());
        if (Stop.stop_requested() || Left.count() <= 0)
            return false;
        pollfd Wait{Fd, POLLIN, 0};
        if (::poll(&Wait, 1, int(std::min(Left, StopSlice).count())) > 0)
            return true;
    }
}

} // namespace

namespace {

bool OffersPictureData(const QMimeData& Data)
{
    return Data.hasImage() || !PreferredPictureType(Data.formats()).isEmpty();
}

} // namespace

bool MayHoldPicture(const QMimeData& Data)
{
    return OffersPictureData(Data) || Data.hasUrls();
}

QString DroppedFilePath(const QMimeData& Data)
{
    // Only what the drag listed is asked for: asking a drag's source for a
    // type it does not offer waits on it.
    const QList<QUrl> Urls = Data.hasUrls() ? Data.urls() : QList<QUrl>();
    if (!Urls.isEmpty() && Urls.front().isLocalFile())
        return Urls.front().toLocalFile();
    if (OffersPictureData(Data))
        return {};
    if (!Urls.isEmpty())
        throw EDropError("Only pictures in files on this computer can be dropped, not "
                         + Urls.front().toDisplayString().toStdString());
    throw EDropError("What was dropped is not a picture");
}

TIncomingRoad::TTransport DropTransport(const QMimeData& Data, TTrace Trace, const TWaitLimits& Limits)
{
    const QString Path = DroppedFilePath(Data);
    if (!Path.isEmpty())
        return [Path, Trace = std::move(Trace), Limits](std::stop_token Stop) mutable {
            return ArrivalFromFile(Path, std::move(Trace), Limits, std::move(Stop));
        };
    return [Found = PictureOfMimeData(Data), Trace = std::move(Trace)](std::stop_token) mutable {
        return ArrivalFromMime(Found, std::move(Trace), DropDataTexts);
    };
}

QByteArray ReadDroppedFile(const QString& Path, const TWaitLimits& Limits, std::stop_token Stop)
{
    if (QFileInfo(Path).isDir())
        throw EDropError(Quoted(Path) + " is a folder, not a picture");
    // Without blocking: a pipe nobody writes to must not hold the reader.
    const TFileDescriptor File(::open(QFile::encodeName(Path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (File.Get() < 0)
        throw EDropError("Cannot open " + Quoted(Path) + ": " + std::strerror(errno));
    struct stat Status {};
    const bool Regular = ::fstat(File.Get(), &Status) == 0 && S_ISREG(Status.st_mode);
    const std::string TooLarge = Regular ? Quoted(Path) + " is too large to be a picture Nebulo can take"
                                         : Quoted(Path) + " goes on past any picture Nebulo can take";
    if (Regular && Status.st_size > PictureFileLimit)
        throw EDropError(TooLarge);
    const TClock::time_point Deadline = TClock::now() + Limits.Overall;
    // Room for all there may be at once: growing would hold the old bytes
    // and the new together. Pages not read into take no memory.
    QByteArray Bytes;
    Bytes.reserve(qsizetype(Regular ? Status.st_size : PictureFileLimit + 1));
    for (;;) {
        const qsizetype Had = Bytes.size();
        Bytes.resize(Had + qsizetype(std::min<int64_t>(ReadPiece, PictureFileLimit + 1 - Had)));
        const ssize_t Got = ::read(File.Get(), Bytes.data() + Had, size_t(Bytes.size() - Had));
        const int Error = errno;
        Bytes.truncate(Had + std::max<qsizetype>(Got, 0));
        if (Got == 0) {
            Bytes.squeeze();
            return Bytes;
        }
        if (Bytes.size() > PictureFileLimit)
            throw EDropError(TooLarge);
        if (Stop.stop_requested() || TClock::now() >= Deadline)
            throw EDropError(Quoted(Path) + " did not come to its end in time");
        if (Got > 0 || Error == EINTR)
            continue;
        if (Error != EAGAIN)
            throw EDropError("Cannot read " + Quoted(Path) + ": " + std::strerror(Error));
        if (!WaitForBytes(File.Get(), std::min(Deadline, TClock::now() + Limits.Patience), Stop))
            throw EDropError(Quoted(Path) + " sent nothing for a while: given up");
    }
}

TArrival ArrivalFromFile(const QString& Path, TTrace Trace, const TWaitLimits& Limits, std::stop_token Stop)
{
    QByteArray Bytes;
    try {
        Bytes = ReadDroppedFile(Path, Limits, std::move(Stop));
    } catch (const EDropError& Error) {
        return FailedArrival(std::make_exception_ptr(Error), std::move(Trace));
    }
    Trace.Mark("read");
    return ArrivalFromBytes(Bytes, std::move(Trace), [&Path](QImageReader::ImageReaderError Reason) {
        if (Reason == QImageReader::UnsupportedFormatError)
            return std::make_exception_ptr(EDropError(Quoted(Path) + " is not a picture Nebulo can read"));
        return std::make_exception_ptr(
            EDropError(Quoted(Path) + " cannot be read as a picture: " + ReaderErrorText(Reason)));
    });
}

} // namespace nebulo
