#include "toolkit/core/FileStream.h"

#include "toolkit/core/Exceptions.h"

#include <cerrno>
#include <cstring>

namespace nebulo {

TFileStream::TFileStream(const std::string& FileName, Mode OpenMode)
    : File_(std::fopen(FileName.c_str(), OpenMode == Mode::Read ? "rb" : "w+b"))
{
    if (File_ == nullptr)
        throw EStreamError("Cannot open file \"" + FileName + "\": " + std::strerror(errno));
    // Writes go straight to the file, so that a full disk fails the write
    // that meets it rather than a close that nobody can answer.
    if (OpenMode == Mode::Create)
        std::setvbuf(File_, nullptr, _IONBF, 0);
}

TFileStream::~TFileStream()
{
    std::fclose(File_);
}

int64_t TFileStream::Read(void* Buffer, int64_t Count)
{
    if (Count <= 0)
        return 0;
    return static_cast<int64_t>(std::fread(Buffer, 1, static_cast<size_t>(Count), File_));
}

int64_t TFileStream::Write(const void* Buffer, int64_t Count)
{
    if (Count <= 0)
        return 0;
    return static_cast<int64_t>(std::fwrite(Buffer, 1, static_cast<size_t>(Count), File_));
}

int64_t TFileStream::Seek(int64_t Offset, int Origin)
{
    const int Whence = Origin == soCurrent ? SEEK_CUR : Origin == soEnd ? SEEK_END : SEEK_SET;
    if (Origin >= soBeginning && Origin <= soEnd)
        std::fseek(File_, static_cast<long>(Offset), Whence);
    return static_cast<int64_t>(std::ftell(File_));
}

} // namespace nebulo
