#pragma once

#include <exception>
#include <new>
#include <stdexcept>
#include <string>
#include <utility>

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

class EOutOfMemory : public Exception {
public:
    EOutOfMemory() : Exception("Out of memory") {}
};

// Runs Work, whose failures to allocate (std::bad_alloc, or std::length_error
// for a size no container holds) leave it as EOutOfMemory, with the
// system's text instead of the library's.
template <typename F>
decltype(auto) OutOfMemoryAsFailure(F&& Work)
{
    try {
        return std::forward<F>(Work)();
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory();
    } catch (const std::length_error&) {
        throw EOutOfMemory();
    }
}

} // namespace nebulo
