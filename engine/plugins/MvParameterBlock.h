// The argument block of one call and the error block a native function
// reports through.
#ifndef MORVANE_ENGINE_MVPARAMETERBLOCK_H
#define MORVANE_ENGINE_MVPARAMETERBLOCK_H

#include "morvane/MvValue.h"

#include <cstdint>
#include <memory>
#include <string>

class MvPluginSignature;
class MvTreeEval;
class MvValueContainer;

class MvPluginErrorBlock {
public:
    std::int32_t number = 0;   // 0: success
    std::string message;
    std::string url;
};

// One argument: nothing (a left-out dynamic parameter), a script variable
// (read through it, and settable for a by-reference parameter) or a value
// held by the slot.
struct MvArgumentSlot {
    enum Kind : std::uint8_t { Empty = 0, Reference = 1, Value = 2 };

    void clear() {
        kind = Empty;
        container = nullptr;
        value.release();
    }

    Kind kind = Empty;
    MvValueContainer* container = nullptr;
    MvValueHolder value;
};

// One entry per declared parameter of the signature, in declaration order.
// An entry is the block's own slot (a default, a copy, or nothing) or the
// slot of the call's argument bound to the parameter, used where it is.
// Blocks of calls under way are listed on the active-calls stack so that a
// deleted variable can be withdrawn from them.
class MvParameterBlock {
public:
    MvParameterBlock() = default;
    MvParameterBlock(const MvParameterBlock&) = delete;
    MvParameterBlock& operator=(const MvParameterBlock&) = delete;

    // Empties the block and sizes it for signature: every entry is an empty
    // slot of the block's own.
    void reset(const MvPluginSignature* signature, std::uint32_t count);

    MvArgumentSlot& entry(std::uint32_t index) { return *entries_[index]; }
    // Makes the entry of a parameter the given slot, which outlives the call.
    void share(std::uint32_t index, MvArgumentSlot* slot) { entries_[index] = slot; }
    std::uint32_t count() const { return count_; }
    const MvPluginSignature* signature() const { return signature_; }

    // The evaluator that made the call (for functions that act on the
    // running script).
    MvTreeEval* context() const { return context_; }
    void setContext(MvTreeEval* context) { context_ = context; }

    // The entry of the parameter of that name; raises for an unknown name,
    // or when the block and the signature disagree.
    std::uint32_t indexOf(const char* name) const;
    MvArgumentSlot& named(const char* name) { return *entries_[indexOf(name)]; }

    // Empties every entry that refers to container.
    void withdraw(const MvValueContainer* container);

    // The block of the enclosing call under way (kept by the active-calls stack).
    MvParameterBlock* enclosing = nullptr;

private:
    static constexpr std::uint32_t kInline = 4;

    MvArgumentSlot ownInline_[kInline];
    MvArgumentSlot* entriesInline_[kInline] = {};
    std::unique_ptr<MvArgumentSlot[]> ownHeap_;
    std::unique_ptr<MvArgumentSlot*[]> entriesHeap_;
    std::uint32_t heapSize_ = 0;
    MvArgumentSlot* own_ = ownInline_;
    MvArgumentSlot** entries_ = entriesInline_;
    std::uint32_t count_ = 0;
    const MvPluginSignature* signature_ = nullptr;
    MvTreeEval* context_ = nullptr;
};

#endif
