#include "MvActiveCalls.h"

namespace MvActiveCalls {

void withdraw(MvParameterBlock* innermost, const MvValueContainer* container) {
    for (MvParameterBlock* b = innermost; b; b = b->enclosing)
        b->withdraw(container);
}

} // namespace MvActiveCalls
