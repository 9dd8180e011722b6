#include "MvNesting.h"

#include "morvane/MvException.h"

void MvRaiseNestedTooDeeply() { MvRaise("The value is nested too deeply."); }
