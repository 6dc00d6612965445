#pragma once

#include <functional>
#include <string>

namespace nebulo {

class TPersistent;
class TStream;

// What a stored-layout reader or writer offers to a class that keeps extra
// properties of its own: a raw-byte property is declared with the routine that
// reads it and the routine that writes it.
class TFiler {
public:
    using TStreamProc = std::function<void(TStream&)>;

    virtual ~TFiler() = default;
    // The corresponding object of the form this one inherits from, if any;
    // a writer stores only what differs from it.
    virtual TPersistent* Ancestor() const { return nullptr; }
    // HasData tells a writer whether the property is to be written at all.
    virtual void DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData,
                                      const TStreamProc& WriteData, bool HasData) = 0;
};

// The root of everything that can be assigned and stored.
class TPersistent {
public:
    TPersistent() = default;
    TPersistent(const TPersistent&) = delete;
    TPersistent& operator=(const TPersistent&) = delete;
    virtual ~TPersistent() = default;

    // Copies Source into this object. The base asks Source to assign itself
    // here and fails with "Cannot assign a %s to a %s" when neither knows how.
    virtual void Assign(TPersistent* Source);
    virtual const char* ClassName() const = 0;

protected:
    virtual void AssignTo(TPersistent* Dest);
    virtual void DefineProperties(TFiler& Filer);

    // Lets the stored-layout reader and writer reach DefineProperties.
    friend void DefinePropertiesOf(TPersistent& Object, TFiler& Filer);

private:
    [[noreturn]] void AssignError(const TPersistent* Source) const;
};

void DefinePropertiesOf(TPersistent& Object, TFiler& Filer);

} // namespace nebulo
