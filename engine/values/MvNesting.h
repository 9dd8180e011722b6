// How deeply lists may nest inside lists for the walks that visit every
// level: the text form, writing and reading value files. Those walks keep
// their own stack of lists instead of recursing, so the depth costs no
// thread stack; the limit turns an absurdly deep value into a clear error.
#ifndef MORVANE_ENGINE_MVNESTING_H
#define MORVANE_ENGINE_MVNESTING_H

#include <cstddef>

// The most lists a walk may be inside at once, the outermost counted.
constexpr std::size_t kMvMaxNesting = 1000;

// Raises "The value is nested too deeply.".
[[noreturn]] void MvRaiseNestedTooDeeply();

#endif
