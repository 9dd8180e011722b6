// The runtime-error family.
//
// Every runtime failure is an MvException (or a subclass) created on the
// heap and thrown as a pointer; whoever catches it deletes it or throws the
// same pointer on. Each constructor composes the message a script sees.
#ifndef MORVANE_MVEXCEPTION_H
#define MORVANE_MVEXCEPTION_H

#include "MvAutoObject.h"
#include "MvExport.h"
#include "MvType.h"
#include "MvValue.h"

#include <cstdint>
#include <sstream>
#include <string>

class MV_EXPORT MvException {
public:
    MvException();
    explicit MvException(const char* text);
    explicit MvException(const std::string& text);
    virtual ~MvException();

    MvException(const MvException&) = delete;
    MvException& operator=(const MvException&) = delete;

    std::string getMessage() const;

protected:
    std::ostringstream message_;
};

class MV_EXPORT MvTypeException : public MvException {
public:
    explicit MvTypeException(const char* expected);
};

class MV_EXPORT MvOperatorException : public MvException {
public:
    // "Operator (op) used with incompatible types"
    explicit MvOperatorException(const char* op);
    // infix: "Can't execute \"left op right\" : incompatible types."
    MvOperatorException(MvTypeEnum left, const char* op, MvTypeEnum right);
    // function-like: "Can't execute \"op left right\" : incompatible types."
    MvOperatorException(const char* op, MvTypeEnum left, MvTypeEnum right);
    // prefix: "Can't execute \"op(type)\" : incompatible type."
    MvOperatorException(const char* op, MvTypeEnum type);
    // postfix: "Can't execute \"type op\" : incompatible type."
    MvOperatorException(MvTypeEnum type, const char* op);
};

class MV_EXPORT MvInvalidPropertyException : public MvException {
public:
    MvInvalidPropertyException();
};

class MV_EXPORT MvIdentifierException : public MvException {
public:
    explicit MvIdentifierException(const char* name);
};

class MV_EXPORT MvMemoryException : public MvException {
public:
    explicit MvMemoryException(const char* where);
};

class MV_EXPORT MvFileException : public MvException {
public:
    explicit MvFileException(const char* detail);
};

class MV_EXPORT MvInterruptException : public MvException {
public:
    MvInterruptException();
};

class MV_EXPORT MvCoercionException : public MvException {
public:
    MvCoercionException(MvTypeEnum from, MvTypeEnum to, const char* detail);
};

// Thrown by pointer by a break statement; never reported.
class MV_EXPORT MvBreakException {
public:
    MvBreakException() = default;
    virtual ~MvBreakException();
};

// Thrown by value by a return statement; carries the returned value as a
// counted reference.
class MV_EXPORT MvReturnValue {
public:
    MvReturnValue() = default;
    explicit MvReturnValue(MvValue* returned) : value(returned) {}
    explicit MvReturnValue(const mv_auto_value<MvValue>& returned) : value(returned) {}

    mv_auto_value<MvValue> value;
};

// Raises a plain MvException with the text (the byte-string twin of MvError).
[[noreturn]] MV_EXPORT void MvRaise(const std::string& text);

// Raises "Index \"i\" is too large (> highest)." or "... is too small (< lowest)."
MV_EXPORT void MvCheckIndex(long index, long lowest, long highest);

// Support address named by messages that ask the user to report a fault.
MV_EXPORT const char* MvSupportAddress();

// The message for an operating-system or media error code: the tabled text,
// or the "Caught System Error" report naming the code, line and source file.
MV_EXPORT std::string MvSystemErrorText(std::int16_t code, int line, const char* sourceFile);

// Raises the system error for a non-zero code; returns at once for 0.
MV_EXPORT void MvCheckSystemError(std::int16_t code, int line, const char* sourceFile);

#define MV_CHECK_SYSTEM_ERROR(code) MvCheckSystemError((code), __LINE__, __FILE__)

#endif
