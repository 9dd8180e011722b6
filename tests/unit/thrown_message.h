// Reading the message of a runtime error that a piece of test code raises.
#ifndef MORVANE_TESTS_THROWN_MESSAGE_H
#define MORVANE_TESTS_THROWN_MESSAGE_H

#include "morvane/MvException.h"

#include <gtest/gtest.h>

#include <string>

inline const char* const kNoException = "<no exception>";

// Runs f and returns the message of the MvException* it throws (deleting
// it), or kNoException when it returns normally.
template <class F>
std::string messageOf(F&& f) {
    try {
        f();
    } catch (MvException* e) {
        std::string message = e->getMessage();
        delete e;
        return message;
    }
    return kNoException;
}

// As messageOf, and the test fails when nothing is thrown.
template <class F>
std::string thrownMessage(F&& f) {
    std::string message = messageOf(f);
    if (message == kNoException)
        ADD_FAILURE() << "nothing was thrown";
    return message;
}

#endif
