// The process-wide abort flag (set by MvSetAbortEverything, never cleared),
// readable inline on the evaluator's hot paths.
#ifndef MORVANE_ENGINE_MVABORTFLAG_H
#define MORVANE_ENGINE_MVABORTFLAG_H

#include "morvane/MvException.h"

#include <atomic>

extern std::atomic<bool> MvAbortEverythingFlag;

// Whether the host gave up on every script, without raising (for sleeps
// that end early).
inline bool MvAbortRequested() { return MvAbortEverythingFlag.load(std::memory_order_relaxed); }

// What MvYield does, inline: raises the interruption once the host gave up.
inline void MvYieldInline() {
    if (MvAbortRequested())
        throw new MvInterruptException();
}

#endif
