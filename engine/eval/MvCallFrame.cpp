// Frames of script-function calls, and what their evaluators do at the
// start and the end of a call.
#include "MvCallFrame.h"

#include "MvValueContainer.h"

#include "values/MvNumberValue.h"

#include <algorithm>

void MvCallFrame::bindNumber(std::size_t p, int bucket, const std::string& name, double number) {
    if (MvValueContainer* slot = reserved(p)) {
        slot->holdNumber(number);
        return;
    }
    slots_[p] = evaluator_.makeParameter(nullptr, bucket, name,
                                         MvValueHolder(new MvNumberValue(number)));
}

namespace {

// The distinct slots among kept (which may repeat one, or hold nulls).
std::size_t distinctSlots(const std::vector<MvValueContainer*>& kept) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < kept.size(); ++i)
        if (kept[i] && std::find(kept.begin(), kept.begin() + i, kept[i]) == kept.begin() + i)
            ++count;
    return count;
}

} // namespace

void MvCallFrame::end(const std::vector<int>& buckets,
                      const std::vector<MvPluginParameter>& parameters) {
    if (evaluator_.variablesEpoch() != slotsEpoch_) {
        for (std::size_t p = 0; p < slots_.size(); ++p)
            slots_[p] = evaluator_.ownVariable(buckets[p], parameters[p].name);
        slotsMade_ = true;
    }
    if (slotsMade_) {
        distinct_ = distinctSlots(slots_);
        slotsMade_ = false;
    }
    evaluator_.endOfCall(slots_, distinct_);
    slotsEpoch_ = evaluator_.variablesEpoch();
}

void MvTreeEval::startOfCall(MvParser* session, MvTreeEval* globalEvaluator) {
    session_ = session;
    globalEvaluator_ = globalEvaluator;
    assignTargetMode_ = false;
    inProtectedStatement_ = false;
    stackLimit_ = globalEvaluator ? globalEvaluator->stackLimit_ : MvStackLimitOfThisThread();
}

MvValueContainer* MvTreeEval::makeParameter(MvValueContainer* reserved, int bucket,
                                            const std::string& name, MvValueHolder value) {
    if (reserved) {
        reserved->holdValue(std::move(value));
        return reserved;
    }
    if (MvValueContainer* container = valueMap_.find(bucket, name)) {
        container->assign(std::move(value));
        return container;
    }
    return valueMap_.emplace(bucket, name, std::move(value), name, MvValueContainer::PlainName,
                             session_);
}

MvValueContainer* MvTreeEval::makeReferenceParameter(MvValueContainer* reserved, int bucket,
                                                     const std::string& name,
                                                     MvValueContainer* target) {
    if (reserved) {
        reserved->referTo(target, true);
        return reserved;
    }
    if (MvValueContainer* container = valueMap_.find(bucket, name)) {
        container->setReference(target);
        return container;
    }
    return valueMap_.emplace(bucket, name, target, name, MvValueContainer::PlainName, session_,
                             true);
}

// Destroying a variable empties only the variables that refer to it; while
// no variable anywhere has a referee, the global scope has nothing to purge.
void MvTreeEval::endOfCall(const std::vector<MvValueContainer*>& kept, std::size_t distinctKept) {
    const bool referred = MvValueContainer::anyObserved();
    if (valueMap_.size() != distinctKept)
        valueMap_.removeIf([&kept](MvValueContainer* c) {
            return std::find(kept.begin(), kept.end(), c) == kept.end();
        });
    for (MvValueContainer* slot : kept)
        if (slot)
            slot->vacateKeepingNumber();
    if (windowMap_.size() != 0)
        windowMap_.clear();
    if (globalEvaluator_ && referred)
        globalEvaluator_->purge();
    globalEvaluator_ = nullptr;
}
