// The runtime-error family and the texts each constructor composes.
#include "morvane/MvException.h"

namespace {

// Type names inside messages must never raise while a message is composed.
const char* nameForMessage(MvTypeEnum type) {
    const char* name = MvType::typeNameOrNull(type);
    return name ? name : "unknown";
}

} // namespace

MvException::MvException() = default;

MvException::MvException(const char* text) {
    if (text)
        message_ << text;
}

MvException::MvException(const std::string& text) { message_ << text; }

MvException::~MvException() = default;

std::string MvException::getMessage() const { return message_.str(); }

MvTypeException::MvTypeException(const char* expected) {
    message_ << "Type mismatch error, expecting (" << expected << ")";
}

MvOperatorException::MvOperatorException(const char* op) {
    message_ << "Operator (" << op << ") used with incompatible types";
}

MvOperatorException::MvOperatorException(MvTypeEnum left, const char* op, MvTypeEnum right) {
    message_ << "Can't execute \"" << nameForMessage(left) << ' ' << op << ' '
             << nameForMessage(right) << "\" : incompatible types.";
}

MvOperatorException::MvOperatorException(const char* op, MvTypeEnum left, MvTypeEnum right) {
    message_ << "Can't execute \"" << op << ' ' << nameForMessage(left) << ' '
             << nameForMessage(right) << "\" : incompatible types.";
}

MvOperatorException::MvOperatorException(const char* op, MvTypeEnum type) {
    message_ << "Can't execute \"" << op << '(' << nameForMessage(type)
             << ")\" : incompatible type.";
}

MvOperatorException::MvOperatorException(MvTypeEnum type, const char* op) {
    message_ << "Can't execute \"" << nameForMessage(type) << ' ' << op
             << "\" : incompatible type.";
}

MvInvalidPropertyException::MvInvalidPropertyException() {
    message_ << "Invalid Property Requested";
}

MvIdentifierException::MvIdentifierException(const char* name) {
    message_ << "Invalid identifier (" << name << ")";
}

MvMemoryException::MvMemoryException(const char* where) {
    message_ << "Out of Memory" << where << ")";
}

MvFileException::MvFileException(const char* detail) {
    message_ << "File error(" << detail << ")";
}

MvInterruptException::MvInterruptException() { message_ << "Interrupted"; }

MvCoercionException::MvCoercionException(MvTypeEnum from, MvTypeEnum to, const char* detail) {
    message_ << "Coercion from" << " (" << nameForMessage(from) << ") to ("
             << nameForMessage(to) << ") ";
    if (detail)
        message_ << detail;
}

MvBreakException::~MvBreakException() = default;

void MvRaise(const std::string& text) { throw new MvException(text); }

void MvCheckIndex(long index, long lowest, long highest) {
    if (index > highest) {
        std::ostringstream text;
        text << "Index \"" << index << "\" is too large (> " << highest << ").";
        MvRaise(text.str());
    }
    if (index < lowest) {
        std::ostringstream text;
        text << "Index \"" << index << "\" is too small (< " << lowest << ").";
        MvRaise(text.str());
    }
}
