#pragma once

#include <exception>
#include <string>

namespace nebulo {

// Every failure of the system carries its message text; the application's
// standard error report shows exactly that text.
class Exception : public std::exception {
public:
    explicit Exception(std::string Message) : Message_(std::move(Message)) {}
    const char* what() const noexcept override { return Message_.c_str(); }
    const std::string& Message() const { return Message_; }

private:
    std::string Message_;
};

#define NEBULO_EXCEPTION(Name, Base)                 \
    class Name : public Base {                       \
    public:                                          \
        using Base::Base;                            \
    };

NEBULO_EXCEPTION(EStreamError, Exception)
NEBULO_EXCEPTION(EConvertError, Exception)
NEBULO_EXCEPTION(EInvalidGraphic, Exception)
NEBULO_EXCEPTION(EInvalidOperation, Exception)
NEBULO_EXCEPTION(EOutOfMemory, Exception)
NEBULO_EXCEPTION(EZeroDivide, Exception)
NEBULO_EXCEPTION(EInvalidArgument, Exception)

#undef NEBULO_EXCEPTION

class EReadError : public EStreamError {
public:
    EReadError() : EStreamError("Stream read error") {}
};

class EWriteError : public EStreamError {
public:
    EWriteError() : EStreamError("Stream write error") {}
};

} // namespace nebulo
