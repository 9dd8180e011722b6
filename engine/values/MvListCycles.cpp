// Keeping lists free of cycles.
//
// Storing value v into list L closes a cycle exactly when L can be reached
// from v through lists (v being L included). Such a store puts a copy of v
// into L instead: every list on a path from v to L is copied, and L itself
// is copied shallowly, which is enough because L's own elements cannot reach
// L (there was no cycle before). Lists of v that do not lead to L stay
// shared, as any stored element is.
//
// The search only runs when L is held by some list, since otherwise nothing
// can reach it; a list kept in a variable, or one being built by a literal,
// is never searched for. Both walks keep their own stack, so a deep value
// costs no thread stack.
#include "MvListValue.h"

#include <unordered_map>
#include <vector>

namespace {

class CycleBreaker {
public:
    CycleBreaker(MvListValue* root, MvListValue* target) : root_(root), target_(target) {}

    // The lists of the root's value that reach the target, each after the
    // lists it holds; empty when the target cannot be reached.
    void findPaths();
    bool needed() const { return !order_.empty(); }
    // A copy of the root in which no list reaches the target.
    MvValueHolder copy();

private:
    struct Level {
        MvListValue* list;
        std::size_t next;
    };

    static MvListValue* asList(MvValue* value) {
        return value && value->GetType() == MvTypeList ? static_cast<MvListValue*>(value)
                                                       : nullptr;
    }

    void enter(MvListValue* list, MvListValue* parent);
    void leave();

    MvListValue* root_;
    MvListValue* target_;
    // Every list seen, and whether it reaches the target.
    std::unordered_map<MvListValue*, bool> reaches_;
    std::vector<Level> levels_;
    std::vector<MvListValue*> order_;
};

void CycleBreaker::enter(MvListValue* list, MvListValue* parent) {
    if (list == target_) {
        reaches_.emplace(list, true);
        order_.push_back(list);
        if (parent)
            reaches_[parent] = true;
        return;
    }
    reaches_.emplace(list, false);
    levels_.push_back({list, 0});
}

void CycleBreaker::leave() {
    MvListValue* done = levels_.back().list;
    levels_.pop_back();
    if (!reaches_[done])
        return;
    order_.push_back(done);
    if (!levels_.empty())
        reaches_[levels_.back().list] = true;
}

void CycleBreaker::findPaths() {
    enter(root_, nullptr);
    while (!levels_.empty()) {
        Level& level = levels_.back();
        if (level.next == level.list->elements.size()) {
            leave();
            continue;
        }
        MvListValue* parent = level.list;
        MvListValue* inner = asList(level.list->elements[level.next++].get());
        if (!inner)
            continue;
        auto seen = reaches_.find(inner);
        if (seen == reaches_.end())
            enter(inner, parent);
        else if (seen->second)
            reaches_[parent] = true;
    }
}

// Children come before their parents in order_, so each list on a path
// finds the copies of its elements made already.
MvValueHolder CycleBreaker::copy() {
    std::unordered_map<MvListValue*, MvValueHolder> copies;
    for (MvListValue* list : order_) {
        MvListValue* duplicate = new MvListValue();
        MvValueHolder held(duplicate);
        duplicate->reserve(list->elements.size());
        for (const MvValueHolder& element : list->elements) {
            auto copied = list == target_ ? copies.end() : copies.find(asList(element.get()));
            duplicate->append(copied == copies.end() ? element : copied->second);
        }
        copies.emplace(list, std::move(held));
    }
    return copies[root_];
}

} // namespace

MvValueHolder MvListValue::admit(const MvValueHolder& element) {
    MvListValue* stored = asList(element.get());
    if (!stored)
        return element;
    if (stored != this && containingLists_.load(std::memory_order_relaxed) == 0)
        return element;
    CycleBreaker breaker(stored, this);
    breaker.findPaths();
    return breaker.needed() ? breaker.copy() : element;
}
