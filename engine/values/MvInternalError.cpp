#include "MvInternalError.h"

MvInternalError::MvInternalError() { message_ << "Morvane Internal Error."; }

MvInternalError::MvInternalError(const std::string& detail) {
    message_ << "Morvane Internal Error. " << detail;
}
