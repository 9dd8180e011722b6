// The arguments of one call as written, and the one reader of argument
// nodes that every way of making a call goes through.
#ifndef MORVANE_ENGINE_MVCALLARGUMENTS_H
#define MORVANE_ENGINE_MVCALLARGUMENTS_H

#include "morvane/MvValue.h"
#include "plugins/MvParameterBlock.h"

#include <cstddef>
#include <new>
#include <string>
#include <vector>

class MvTreeEval;
struct MvAST;

// One argument as written: its parameter name when it is given by name, and
// a variable, a value or, for an expression of numbers, the number itself
// (made into a value only for a function that needs one).
struct MvCallArgument {
    const std::string* name = nullptr;
    MvArgumentSlot slot;
    double number = 0;
    bool isNumber = false;

    // Gives a number argument the value it stands for.
    void makeValue();
    // Whether the argument is a variable (passed by reference).
    bool isVariable() const { return slot.kind == MvArgumentSlot::Reference; }
    // The value it brings: its own, or its variable's current one (null for
    // a number not made into a value, or an invalid variable).
    MvValue* value() const;
};

// A short list kept in place (only the elements added are made); longer
// ones spill to the heap.
template <class T, std::size_t N>
class MvSmallList {
public:
    MvSmallList() = default;
    ~MvSmallList() {
        for (std::size_t i = 0; i < size_ && i < N; ++i)
            inlineAt(i)->~T();
    }
    MvSmallList(const MvSmallList&) = delete;
    MvSmallList& operator=(const MvSmallList&) = delete;

    T& add() {
        if (size_ < N)
            return *new (inlineAt(size_++)) T();
        ++size_;
        more_.emplace_back();
        return more_.back();
    }
    T& operator[](std::size_t i) { return i < N ? *inlineAt(i) : more_[i - N]; }
    const T& operator[](std::size_t i) const {
        return i < N ? *const_cast<MvSmallList*>(this)->inlineAt(i) : more_[i - N];
    }
    std::size_t size() const { return size_; }

private:
    T* inlineAt(std::size_t i) { return reinterpret_cast<T*>(inline_) + i; }

    alignas(T) unsigned char inline_[N * sizeof(T)];
    std::vector<T> more_;
    std::size_t size_ = 0;
};

// The call record: the names of the function and the arguments in the order
// written (named and positional ones are told apart by their name).
struct MvCallRecord {
    const std::string* nameSpace = nullptr;
    const std::string* function = nullptr;
    MvSmallList<MvCallArgument, 4> arguments;
};

// An argument node read: #(-> name value) or a bare value, where the value
// is #(& variable), #(no-ref expression) or the expression itself.
struct MvArgumentNode {
    const std::string* name = nullptr;   // given by name
    const MvAST* variable = nullptr;     // passed by reference: the variable node
    const MvAST* expression = nullptr;   // passed by value
};

// Reads an argument node; raises the tree errors of a malformed one.
MvArgumentNode MvReadArgument(MvTreeEval& caller, const MvAST* node);

// Evaluates an argument read from its node into argument: a variable is
// found (in caller's scope or the global one), an expression evaluated
// (one of numbers only into its number).
void MvCollectArgument(MvTreeEval& caller, const MvArgumentNode& written,
                       MvCallArgument& argument);

#endif
