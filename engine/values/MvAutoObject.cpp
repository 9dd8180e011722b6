// The out-of-line anchor of the reference-counted base.
#include "morvane/MvAutoObject.h"

MvAutoObject::~MvAutoObject() = default;
