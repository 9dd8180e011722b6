#include "MvStackLimit.h"

#include "platform/MvPlatform.h"

#include <algorithm>
#include <cstddef>

namespace {

// The sanitizers make every frame several times larger.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define MV_LARGE_FRAMES 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define MV_LARGE_FRAMES 1
#endif
#endif

#if defined(__SANITIZE_THREAD__)
#define MV_THREAD_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define MV_THREAD_SANITIZER 1
#endif
#endif

#if defined(MV_THREAD_SANITIZER)
constexpr std::uintptr_t kSanitizedRunDepth = 2 * 1024 * 1024;
#endif

#if defined(MV_LARGE_FRAMES)
constexpr std::size_t kReserve = 256 * 1024;
#else
constexpr std::size_t kReserve = 64 * 1024;
#endif

// A thread whose stack the system does not describe is assumed to have
// this much left where the run starts.
constexpr std::uintptr_t kAssumedLeft = 256 * 1024;

} // namespace

#if !defined(__GNUC__)
std::uintptr_t MvStackPositionOfCaller() {
    volatile char here = 0;
    return reinterpret_cast<std::uintptr_t>(&here);
}
#endif

// On a small stack at most half of it is kept in reserve, so that a script
// still has room to run.
std::uintptr_t MvStackLimitOfThisThread() {
    const std::uintptr_t here = MV_STACK_POSITION();
    std::uintptr_t limit;
    MvPlatform::StackBounds stack;
    if (MvPlatform::currentThreadStack(stack)) {
        limit = stack.lowest + std::min(kReserve, stack.size / 2);
    } else {
        const std::uintptr_t room = kAssumedLeft - std::min<std::uintptr_t>(kReserve, kAssumedLeft / 2);
        limit = here > room ? here - room : 0;
    }
#if defined(MV_THREAD_SANITIZER)
    // The thread sanitizer keeps at most 65536 frames of a call stack; a run
    // is held to a depth it can still describe.
    if (here > kSanitizedRunDepth)
        limit = std::max(limit, here - kSanitizedRunDepth);
#endif
    return limit;
}
