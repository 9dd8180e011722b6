// Binding a call's arguments to the parameters of the overload chosen: into
// an argument block for a native function, into the variables of a frame
// for a script function.
#ifndef MORVANE_ENGINE_MVCALLBINDING_H
#define MORVANE_ENGINE_MVCALLBINDING_H

#include "MvCallArguments.h"
#include "MvCallFrame.h"
#include "MvCallSites.h"

#include "morvane/MvException.h"
#include "plugins/MvParameterBlock.h"

// The block of the chosen overload: the arguments (a value is copied when
// the function may change it and someone else holds it), then the defaults
// of the parameters left out (dynamic ones stay empty). The block refers to
// the call record's slots, which must outlive the call.
void MvFillBlock(const MvCallCandidate& candidate, MvCallRecord& call, MvParameterBlock& block);

// The block of the chosen overload for a call whose arguments are the given
// numbers: each becomes a new number value in the block's own entry of its
// parameter (nobody else holds it, so it is never copied).
void MvFillBlockWithNumbers(const MvCallCandidate& candidate, const double* numbers,
                            MvParameterBlock& block);

// Binds the arguments of a call to a frame: per parameter, the argument
// bound to it or null. Values are taken over.
class MvArgumentBinder {
public:
    explicit MvArgumentBinder(MvCallArgument* const* bound) : bound_(bound) {}

    // False for a parameter left out.
    bool operator()(MvCallFrame& frame, std::size_t p, int bucket,
                    const MvPluginParameter& parameter) const {
        MvCallArgument* given = bound_[p];
        if (!given)
            return false;
        if (given->slot.kind == MvArgumentSlot::Reference)
            frame.bindReference(p, bucket, parameter.name, given->slot.container);
        else if (given->isNumber)
            frame.bindNumber(p, bucket, parameter.name, given->number);
        else if (given->slot.kind == MvArgumentSlot::Value)
            frame.bindValue(p, bucket, parameter.name, std::move(given->slot.value));
        else
            MvRaise("Internal parameter problem in plug-in");
        return true;
    }

private:
    MvCallArgument* const* bound_;
};

// Binds numbers to a frame: per parameter, the index of its number or -1.
class MvNumberBinder {
public:
    MvNumberBinder(const int* boundTo, const double* numbers)
        : boundTo_(boundTo), numbers_(numbers) {}

    bool operator()(MvCallFrame& frame, std::size_t p, int bucket,
                    const MvPluginParameter& parameter) const {
        const int a = boundTo_[p];
        if (a < 0)
            return false;
        frame.bindNumber(p, bucket, parameter.name, numbers_[a]);
        return true;
    }

private:
    const int* boundTo_;
    const double* numbers_;
};

#endif
