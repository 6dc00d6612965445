#pragma once

#include "toolkit/core/Persistent.h"

#include <string>

namespace nebulo::test {

// A layout writer's view of one object: the raw-byte property it declares
// last, the routines that read and write it, and whether it would be stored.
class TRecordingFiler : public TFiler {
public:
    explicit TRecordingFiler(TPersistent* Ancestor = nullptr) : Ancestor_(Ancestor) {}
    TPersistent* Ancestor() const override { return Ancestor_; }
    void DefineBinaryProperty(const std::string& Name, const TStreamProc& Reader, const TStreamProc& Writer,
                              bool Stored) override
    {
        this->Name = Name;
        Read = Reader;
        Write = Writer;
        HasData = Stored;
    }

    std::string Name;
    TStreamProc Read;
    TStreamProc Write;
    bool HasData = false;

private:
    TPersistent* Ancestor_;
};

} // namespace nebulo::test
