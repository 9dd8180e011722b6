// An error only a fault of the engine itself can raise: an invariant that
// does not hold. It is reported as any runtime error is, with the text
// "Morvane Internal Error." and what went wrong, and ends the run.
#ifndef MORVANE_ENGINE_MVINTERNALERROR_H
#define MORVANE_ENGINE_MVINTERNALERROR_H

#include "morvane/MvException.h"

#include <string>

class MvInternalError : public MvException {
public:
    MvInternalError();
    explicit MvInternalError(const std::string& detail);
};

#endif
