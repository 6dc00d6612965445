#include "tools/OutputFile.h"

#include "tools/ToolError.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <utility>

namespace nebulo {

namespace {

// As the system resolves paths: no more links than this on the way.
constexpr int MaxLinks = 40;

TToolError CannotWrite(const QString& Name, int Error)
{
    return TToolError("cannot write " + Name + ": " + QString::fromLocal8Bit(std::strerror(Error)));
}

// Where Path leads through every symbolic link on the way; the new file goes
// there, so that the links stay.
std::filesystem::path LinkTarget(const QString& Name)
{
    std::filesystem::path Path = QFile::encodeName(Name).toStdString();
    for (int Link = 0; Link < MaxLinks; ++Link) {
        std::error_code Error;
        if (!std::filesystem::is_symlink(std::filesystem::symlink_status(Path, Error)))
            return Path;
        const std::filesystem::path Target = std::filesystem::read_symlink(Path, Error);
        if (Error)
            throw CannotWrite(Name, Error.value());
        Path = Target.is_absolute() ? Target : Path.parent_path() / Target;
    }
    throw CannotWrite(Name, ELOOP);
}

// A descriptor closed on every path.
class TDescriptor {
public:
    explicit TDescriptor(int Fd = -1) : Fd_(Fd) {}
    ~TDescriptor()
    {
        if (Fd_ >= 0)
            ::close(Fd_);
    }
    TDescriptor(TDescriptor&& Other) noexcept : Fd_(std::exchange(Other.Fd_, -1)) {}
    TDescriptor& operator=(TDescriptor&& Other) noexcept
    {
        std::swap(Fd_, Other.Fd_);
        return *this;
    }
    int Get() const { return Fd_; }
    // Closes now, for its result: a write may fail only here.
    int Close() { return ::close(std::exchange(Fd_, -1)); }

private:
    int Fd_;
};

// The new file beside the old one, removed unless it has taken its place.
class TNewFile {
public:
    TNewFile(const std::filesystem::path& Target, const QString& Name)
    {
        // A hidden name beside the target: .NAME.new-PID-TRY
        std::string Hidden = ".";
        Hidden.append(Target.filename().string()).append(".new-").append(std::to_string(::getpid())).append("-");
        const std::string Stem = (Target.parent_path() / Hidden).string();
        // Created as any new file is, under the umask.
        for (int Try = 0; Try < 100; ++Try) {
            const std::string Path = Stem + std::to_string(Try);
            const int Fd = ::open(Path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (Fd >= 0) {
                Fd_ = TDescriptor(Fd);
                Path_ = Path;
                return;
            }
            if (errno != EEXIST)
                throw CannotWrite(Name, errno);
        }
        throw CannotWrite(Name, EEXIST);
    }
    ~TNewFile()
    {
        if (!Path_.empty())
            ::unlink(Path_.c_str());
    }
    TNewFile(const TNewFile&) = delete;
    TNewFile& operator=(const TNewFile&) = delete;

    TDescriptor& Fd() { return Fd_; }
    void Replace(const std::filesystem::path& Target, const QString& Name)
    {
        if (::rename(Path_.c_str(), Target.c_str()) != 0)
            throw CannotWrite(Name, errno);
        Path_.clear();
    }

private:
    TDescriptor Fd_;
    std::string Path_;
};

} // namespace

void WriteAll(int Fd, const QByteArray& Bytes, const QString& Name)
{
    qint64 Done = 0;
    while (Done < Bytes.size()) {
        const ssize_t N = ::write(Fd, Bytes.constData() + Done, size_t(Bytes.size() - Done));
        if (N < 0 && errno == EINTR)
            continue;
        if (N < 0)
            throw CannotWrite(Name, errno);
        Done += N;
    }
}

void WriteWholeFile(const QString& Name, const QByteArray& Bytes)
{
    const std::filesystem::path Target = LinkTarget(Name);
    struct stat Old {};
    const bool Exists = ::stat(Target.c_str(), &Old) == 0;
    if (Exists && !S_ISREG(Old.st_mode)) {
        TDescriptor Fd(::open(Target.c_str(), O_WRONLY | O_CLOEXEC));
        if (Fd.Get() < 0)
            throw CannotWrite(Name, errno);
        WriteAll(Fd.Get(), Bytes, Name);
        if (Fd.Close() != 0)
            throw CannotWrite(Name, errno);
        return;
    }
    if (Exists && ::access(Target.c_str(), W_OK) != 0)
        throw CannotWrite(Name, errno);
    // Also when the system would let us (as the superuser): the file says it
    // is not to be changed.
    if (Exists && (Old.st_mode & 0222) == 0)
        throw TToolError("cannot write " + Name + ": the file is read-only");

    TNewFile New(Target, Name);
    if (Exists && ::fchmod(New.Fd().Get(), Old.st_mode & 07777) != 0)
        throw CannotWrite(Name, errno);
    WriteAll(New.Fd().Get(), Bytes, Name);
    if (::fsync(New.Fd().Get()) != 0 || New.Fd().Close() != 0)
        throw CannotWrite(Name, errno);
    New.Replace(Target, Name);
}

} // namespace nebulo
