#include "MvPluginSignature.h"

#include "MvFunctionContainer.h"
#include "morvane/MvException.h"

MvFunctionContainer::~MvFunctionContainer() = default;

// Calling script-defined functions needs the evaluator.
void MvFunctionContainerLocal::call(MvValueHolder&, MvParameterBlock*, MvParser*) {
    MvRaise("Calling functions defined in a script is not available in this build yet.");
}

MvPluginSignature::MvPluginSignature(std::uint32_t parameterCount, MvType resultType,
                                     std::unique_ptr<MvFunctionContainer> function)
    : parameterCount_(parameterCount), resultType_(resultType), function_(std::move(function)) {
    parameters_.reserve(parameterCount);
}

bool MvPluginSignature::addParameter(MvPluginParameter parameter) {
    if (parameters_.size() >= parameterCount_)
        return false;
    parameters_.push_back(std::move(parameter));
    return true;
}
