// The bounds of the running thread's stack.
#include "MvPlatform.h"

#if defined(_WIN32)
#  define WIN32_LEAN_AND_MEAN
#  include <windows.h>
#elif defined(__APPLE__)
#  include <pthread.h>
#else
#  include <pthread.h>
#endif

namespace MvPlatform {

namespace {

bool askSystem(StackBounds& bounds) {
#if defined(_WIN32)
    ULONG_PTR low = 0, high = 0;
    GetCurrentThreadStackLimits(&low, &high);
    bounds.lowest = static_cast<std::uintptr_t>(low);
    bounds.size = static_cast<std::size_t>(high - low);
    return high > low;
#elif defined(__APPLE__)
    pthread_t self = pthread_self();
    const std::uintptr_t high = reinterpret_cast<std::uintptr_t>(pthread_get_stackaddr_np(self));
    const std::size_t size = pthread_get_stacksize_np(self);
    bounds.lowest = high - size;
    bounds.size = size;
    return size != 0;
#else
    // The main thread's answer comes from the stack's mapping and its size
    // limit; other threads report the stack they were made with.
    pthread_attr_t attributes;
    if (pthread_getattr_np(pthread_self(), &attributes) != 0)
        return false;
    void* lowest = nullptr;
    std::size_t size = 0;
    const bool known = pthread_attr_getstack(&attributes, &lowest, &size) == 0 && size != 0;
    pthread_attr_destroy(&attributes);
    bounds.lowest = reinterpret_cast<std::uintptr_t>(lowest);
    bounds.size = size;
    return known;
#endif
}

// What the system said for this thread (it can be slow to ask: for the
// main thread it reads the process's memory map).
struct KnownStack {
    bool asked = false;
    bool known = false;
    StackBounds bounds;
};

} // namespace

bool currentThreadStack(StackBounds& bounds) {
    static thread_local KnownStack stack;
    if (!stack.asked) {
        stack.known = askSystem(stack.bounds);
        stack.asked = true;
    }
    bounds = stack.bounds;
    return stack.known;
}

} // namespace MvPlatform
