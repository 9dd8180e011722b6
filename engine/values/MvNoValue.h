// The no-value: stands where a function returned nothing.
#ifndef MORVANE_ENGINE_MVNOVALUE_H
#define MORVANE_ENGINE_MVNOVALUE_H

#include "morvane/MvValue.h"

class MV_EXPORT MvNoValue : public MvValue {
public:
    // Any copy of the no-value reports that a function gave no result.
    MvValue* Clone() override;
    MvTypeEnum GetType() override;
};

#endif
