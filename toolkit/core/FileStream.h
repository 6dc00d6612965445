#pragma once

#include "toolkit/core/Stream.h"

#include <cstdio>
#include <string>

namespace nebulo {

// A stream over a file, open for its lifetime.
class TFileStream : public TStream {
public:
    enum class Mode { Read, Create };
    // Fails with a stream error naming the file.
    TFileStream(const std::string& FileName, Mode OpenMode);
    ~TFileStream() override;

    int64_t Read(void* Buffer, int64_t Count) override;
    int64_t Write(const void* Buffer, int64_t Count) override;
    int64_t Seek(int64_t Offset, int Origin) override;

private:
    std::FILE* File_ = nullptr;
};

} // namespace nebulo
