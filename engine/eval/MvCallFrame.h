// One call's scope: an evaluator of its own, with the slots of the
// function's parameters kept from its previous call (emptied, or holding a
// number of their own that the next call's number replaces in place).
#ifndef MORVANE_ENGINE_MVCALLFRAME_H
#define MORVANE_ENGINE_MVCALLFRAME_H

#include "MvTreeEval.h"

#include "plugins/MvPluginSignature.h"

#include <cstdint>
#include <string>
#include <vector>

class MvCallFrame {
public:
    MvCallFrame(MvParser* session, MvTreeEval* global) : evaluator_(session, global) {}

    MvTreeEval& evaluator() { return evaluator_; }

    void begin(MvParser* session, MvTreeEval* global, std::size_t parameterCount) {
        evaluator_.startOfCall(session, global);
        if (slots_.size() != parameterCount)
            slots_.resize(parameterCount, nullptr);
    }

    void bindValue(std::size_t p, int bucket, const std::string& name, MvValueHolder value) {
        slots_[p] = evaluator_.makeParameter(reserved(p), bucket, name, std::move(value));
    }

    void bindNumber(std::size_t p, int bucket, const std::string& name, double number);

    void bindReference(std::size_t p, int bucket, const std::string& name,
                       MvValueContainer* target) {
        slots_[p] = evaluator_.makeReferenceParameter(reserved(p), bucket, name, target);
    }

    // Whether parameter p got a variable (from its argument, or its default).
    bool isBound(std::size_t p) const { return slots_[p] != nullptr; }

    // A parameter left out has no variable until its default is evaluated,
    // as in a frame of its own: its kept slot goes.
    void leaveOut(std::size_t p, int bucket, const std::string& name) {
        if (reserved(p))
            evaluator_.dropParameter(bucket, name);
        slots_[p] = nullptr;
    }

    // The call is over. The body may have deleted or remade parameters: the
    // slots are found again by name when the table lost anything.
    void end(const std::vector<int>& buckets, const std::vector<MvPluginParameter>& parameters);

private:
    // The kept slot of parameter p, while the table has lost nothing since
    // the slots were last known.
    MvValueContainer* reserved(std::size_t p) {
        if (evaluator_.variablesEpoch() == slotsEpoch_ && slots_[p])
            return slots_[p];
        slotsMade_ = true;
        return nullptr;
    }

    MvTreeEval evaluator_;
    std::vector<MvValueContainer*> slots_;
    std::uint64_t slotsEpoch_ = 0;   // no table has this epoch
    std::size_t distinct_ = 0;       // of slots_
    bool slotsMade_ = true;          // since distinct_ was counted
};

#endif
