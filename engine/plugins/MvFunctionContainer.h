// Callable functions: native entry points and functions the script defines.
#ifndef MORVANE_ENGINE_MVFUNCTIONCONTAINER_H
#define MORVANE_ENGINE_MVFUNCTIONCONTAINER_H

#include "morvane/MvValue.h"

class MvParser;
class MvParameterBlock;
struct MvAST;

class MvFunctionContainer {
public:
    virtual ~MvFunctionContainer();
    virtual void call(MvValueHolder& result, MvParameterBlock* arguments, MvParser* session) = 0;
};

// A function defined in the script: the definition node holds its
// parameters, their default expressions and its body. The node belongs to
// the session's syntax tree, which outlives the session's registry entries.
class MvFunctionContainerLocal : public MvFunctionContainer {
public:
    explicit MvFunctionContainerLocal(const MvAST* definition) : definition_(definition) {}
    void call(MvValueHolder& result, MvParameterBlock* arguments, MvParser* session) override;
    const MvAST* definition() const { return definition_; }

private:
    const MvAST* definition_;
};

#endif
