// How deep a run may nest: the deepest point of the running thread's stack
// that statements, expressions and calls may reach. What lies below it is
// kept for the work done between two checks (a native function, a value's
// operation, the report of the error that stops the run).
#ifndef MORVANE_ENGINE_MVSTACKLIMIT_H
#define MORVANE_ENGINE_MVSTACKLIMIT_H

#include <cstdint>

// The limit for a run starting now on this thread (stacks grow down).
std::uintptr_t MvStackLimitOfThisThread();

// Where the stack of the calling function is: the limit is compared with it.
#if defined(__GNUC__)
#define MV_STACK_POSITION() reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0))
#else
#define MV_STACK_POSITION() MvStackPositionOfCaller()
std::uintptr_t MvStackPositionOfCaller();
#endif

#endif
