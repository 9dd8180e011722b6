// Callable functions: native entry points and functions the script defines.
#ifndef MORVANE_ENGINE_MVFUNCTIONCONTAINER_H
#define MORVANE_ENGINE_MVFUNCTIONCONTAINER_H

#include "morvane/MvPluginApi.h"
#include "morvane/MvValue.h"

#include <memory>
#include <vector>

class MvParser;
class MvParameterBlock;
class MvCallFrame;
class MvFunctionContainerLocal;
class MvPluginSignature;
class MvTreeEval;
struct MvAST;
struct MvCallArgument;

class MvFunctionContainer {
public:
    virtual ~MvFunctionContainer();
    // Runs the function with the bound arguments; result is null when the
    // function gave no result.
    virtual void call(MvValueHolder& result, MvParameterBlock* arguments, MvParser* session) = 0;
    // Whether the call needs the script's folder as the current directory
    // (for relative paths). Functions that never touch the file system, and
    // script functions (whose statements set the folder themselves where
    // they need it), are called without changing the directory.
    virtual bool usesCurrentDirectory() const { return true; }
    // The script function this is, if it is one: the evaluator calls those
    // directly with the arguments of the call site.
    virtual MvFunctionContainerLocal* asLocal() { return nullptr; }
};

// A native function: the entry point is called with a fresh error block and
// the argument block; a non-zero error number becomes a runtime error.
class MvFunctionContainerPlugin : public MvFunctionContainer {
public:
    // Raises "Nil function pointer in plug-in registration" for null.
    explicit MvFunctionContainerPlugin(MvPluginFunction entry, bool usesCurrentDirectory = true);
    void call(MvValueHolder& result, MvParameterBlock* arguments, MvParser* session) override;
    bool usesCurrentDirectory() const override { return usesCurrentDirectory_; }
    MvPluginFunction entry() const { return entry_; }

private:
    MvPluginFunction entry_;
    bool usesCurrentDirectory_;
};

// The frames of a script function's calls (the evaluator and the
// parameters' slots of each): the first inUse serve the calls under way,
// outermost first; the others wait for the next call.
struct MvCallFrames {
    std::vector<std::unique_ptr<MvCallFrame>> made;
    std::size_t inUse = 0;
};

// A function defined in the script: the definition node holds its
// parameters, their default expressions and its body. The node belongs to
// the session's syntax tree, which outlives the session's registry entries.
// The call runs the body in a new evaluator whose global scope is the
// caller's.
class MvFunctionContainerLocal : public MvFunctionContainer {
public:
    explicit MvFunctionContainerLocal(const MvAST* definition);
    ~MvFunctionContainerLocal() override;
    void call(MvValueHolder& result, MvParameterBlock* arguments, MvParser* session) override;
    bool usesCurrentDirectory() const override { return false; }
    MvFunctionContainerLocal* asLocal() override { return this; }
    const MvAST* definition() const { return definition_; }

    // Runs the function for a call made in caller (null: at the top of the
    // session) under signature, one of its own. bound holds, per parameter,
    // the argument bound to it or null; their values are taken over. With
    // number given, a return of an expression of numbers at the body's top
    // level gives the number there (true) instead of a value in result.
    bool run(MvValueHolder& result, MvTreeEval* caller, MvParser* session,
             const MvPluginSignature& signature, MvCallArgument* const* bound,
             double* number);
    // The same for a call whose arguments are all numbers: boundTo holds,
    // per parameter, the index in numbers of the argument bound to it, or -1.
    bool runWithNumbers(MvValueHolder& result, MvTreeEval* caller, MvParser* session,
                        const MvPluginSignature& signature, const int* boundTo,
                        const double* numbers, double* number);

private:
    // What run does, the arguments bound by bind (see eval/MvFunctionContainerLocal.cpp).
    template <class Binder>
    bool runBound(MvValueHolder& result, MvTreeEval* caller, MvParser* session,
                  const MvPluginSignature& signature, const Binder& bind, double* number);

    const MvAST* definition_;
    const MvAST* body_ = nullptr;   // found at the first call
    std::vector<int> buckets_;      // identifier buckets of the parameter names
    // The frames, for the parameters of this signature.
    const MvPluginSignature* idleSignature_ = nullptr;
    MvCallFrames frames_;
};

#endif
