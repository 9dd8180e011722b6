// The variable slot sits with the values, below the plug-in interface, whose
// parameter blocks hold slots too; the evaluator's files name it from here.
#ifndef MORVANE_ENGINE_EVAL_MVVALUECONTAINER_H
#define MORVANE_ENGINE_EVAL_MVVALUECONTAINER_H

#include "values/MvValueContainer.h"

#endif
