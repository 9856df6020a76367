// The framework's exception hierarchy. Every failure of the component libraries is one
// of these, carrying a message; catch sites test by class, so the tree is part of the
// contract (EFOpenError is an EStreamError, and so on).
#pragma once

#include <exception>
#include <limits>
#include <string>
#include <utility>

static_assert(std::numeric_limits<long double>::digits == 64,
              "extended precision must be the x87 80-bit format (64-bit significand)");

namespace dcs {

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : FMessage(std::move(message)) {}
    const std::string& Message() const noexcept { return FMessage; }
    void SetMessage(std::string message) { FMessage = std::move(message); }
    const char* what() const noexcept override { return FMessage.c_str(); }

private:
    std::string FMessage;
};

#define DCS_DECLARE_EXCEPTION(Name, Base)                                                                              \
    class Name : public Base {                                                                                         \
    public:                                                                                                            \
        using Base::Base;                                                                                              \
    }

DCS_DECLARE_EXCEPTION(EAbort, Exception);
DCS_DECLARE_EXCEPTION(EConvertError, Exception);
DCS_DECLARE_EXCEPTION(EOutOfResources, Exception);
DCS_DECLARE_EXCEPTION(EInvalidOperation, Exception);
DCS_DECLARE_EXCEPTION(EInvalidPointer, Exception);
DCS_DECLARE_EXCEPTION(EAssertionFailed, Exception);
DCS_DECLARE_EXCEPTION(EOSError, Exception);
DCS_DECLARE_EXCEPTION(EThread, Exception);

DCS_DECLARE_EXCEPTION(EIntError, Exception);
DCS_DECLARE_EXCEPTION(ERangeError, EIntError);
DCS_DECLARE_EXCEPTION(EDivByZero, EIntError);

DCS_DECLARE_EXCEPTION(EOutOfMemory, Exception);

DCS_DECLARE_EXCEPTION(EInvalidCast, Exception);
DCS_DECLARE_EXCEPTION(EIntfCastError, EInvalidCast);

DCS_DECLARE_EXCEPTION(EListError, Exception);
DCS_DECLARE_EXCEPTION(EStringListError, EListError);

DCS_DECLARE_EXCEPTION(EStreamError, Exception);
DCS_DECLARE_EXCEPTION(EFileStreamError, EStreamError);
DCS_DECLARE_EXCEPTION(EFCreateError, EFileStreamError);
DCS_DECLARE_EXCEPTION(EFOpenError, EFileStreamError);
DCS_DECLARE_EXCEPTION(EFilerError, EStreamError);
DCS_DECLARE_EXCEPTION(EReadError, EFilerError);
DCS_DECLARE_EXCEPTION(EWriteError, EFilerError);
DCS_DECLARE_EXCEPTION(EClassNotFound, EFilerError);

}  // namespace dcs
