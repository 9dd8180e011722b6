#include "MvCallBinding.h"

#include "plugins/MvPluginSignature.h"
#include "values/MvNumberValue.h"

namespace {

// A parameter left out gets its default, if it has one (dynamic ones stay
// empty). A default is held by its descriptor: the call gets a copy of its
// own unless the function only reads it.
void fillDefault(const MvPluginParameter& parameter, MvArgumentSlot& entry) {
    if (parameter.dynamic || !parameter.defaultValue)
        return;
    entry.kind = MvArgumentSlot::Value;
    entry.value = parameter.isConst ? parameter.defaultValue
                                    : MvValueHolder(parameter.defaultValue->Clone());
}

} // namespace

void MvFillBlock(const MvCallCandidate& candidate, MvCallRecord& call, MvParameterBlock& block) {
    const MvPluginSignature& signature = *candidate.signature;
    const std::vector<MvPluginParameter>& parameters = signature.parameters();
    const std::size_t n = parameters.size();
    block.reset(&signature, static_cast<std::uint32_t>(n));
    for (std::size_t p = 0; p < n; ++p) {
        const MvPluginParameter& parameter = parameters[p];
        const std::uint32_t index = static_cast<std::uint32_t>(p);
        MvArgumentSlot& entry = block.entry(index);
        const int a = candidate.boundTo[p];
        if (a >= 0) {
            MvCallArgument& argument = call.arguments[static_cast<std::size_t>(a)];
            argument.makeValue();
            MvArgumentSlot& given = argument.slot;
            if (given.kind == MvArgumentSlot::Value && !parameter.isConst && !given.value.isSole()) {
                entry.kind = MvArgumentSlot::Value;
                entry.value = given.value->Clone();
            } else {
                block.share(index, &given);
            }
        } else {
            fillDefault(parameter, entry);
        }
    }
}

void MvFillBlockWithNumbers(const MvCallCandidate& candidate, const double* numbers,
                            MvParameterBlock& block) {
    const MvPluginSignature& signature = *candidate.signature;
    const std::vector<MvPluginParameter>& parameters = signature.parameters();
    const std::size_t n = parameters.size();
    block.reset(&signature, static_cast<std::uint32_t>(n));
    for (std::size_t p = 0; p < n; ++p) {
        MvArgumentSlot& entry = block.entry(static_cast<std::uint32_t>(p));
        const int a = candidate.boundTo[p];
        if (a >= 0) {
            entry.kind = MvArgumentSlot::Value;
            entry.value = new MvNumberValue(numbers[a]);
        } else {
            fillDefault(parameters[p], entry);
        }
    }
}
