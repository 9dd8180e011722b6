// Calls of functions the script defines: the parameters become variables
// of a frame of their own, then the body runs there.
#include "MvCallBinding.h"
#include "MvCallFrame.h"

#include "frontend/MvAST.h"
#include "morvane/MvException.h"
#include "morvane/MvParser.h"
#include "morvane/MvTokens.h"
#include "plugins/MvFunctionContainer.h"
#include "plugins/MvParameterBlock.h"
#include "plugins/MvPluginSignature.h"

#include <memory>
#include <vector>

MvFunctionContainerLocal::MvFunctionContainerLocal(const MvAST* definition)
    : definition_(definition) {}

MvFunctionContainerLocal::~MvFunctionContainerLocal() = default;

namespace {

// Takes the function's frame for the next depth of calls (making it the
// first time) for one call, and gives it back afterwards. Frames are used
// in stack order; a few stay made, for recursion.
class FrameScope {
public:
    FrameScope(MvCallFrames& frames, MvParser* session, MvTreeEval* global,
               const std::vector<int>& buckets, const std::vector<MvPluginParameter>& parameters)
        : frames_(frames), buckets_(buckets), parameters_(parameters) {
        if (frames.inUse == frames.made.size())
            frames.made.push_back(std::make_unique<MvCallFrame>(session, global));
        frame_ = frames.made[frames.inUse++].get();
        frame_->begin(session, global, parameters.size());
    }
    ~FrameScope() {
        frame_->end(buckets_, parameters_);
        --frames_.inUse;
        if (frames_.inUse >= kKept && frames_.made.size() > frames_.inUse)
            frames_.made.resize(frames_.inUse);
    }
    FrameScope(const FrameScope&) = delete;
    FrameScope& operator=(const FrameScope&) = delete;

    MvCallFrame& get() { return *frame_; }

private:
    static constexpr std::size_t kKept = 8;

    MvCallFrames& frames_;
    const std::vector<int>& buckets_;
    const std::vector<MvPluginParameter>& parameters_;
    MvCallFrame* frame_;
};

// The body of a definition: its last child, a block.
const MvAST* bodyOf(const MvAST* definition) {
    const MvAST* last = definition ? definition->child() : nullptr;
    while (last && last->sibling())
        last = last->sibling();
    return last && last->tokenType == MV_TOK_BEGIN ? last : nullptr;
}

} // namespace

// Called through an argument block: its entries become the arguments.
void MvFunctionContainerLocal::call(MvValueHolder& result, MvParameterBlock* arguments,
                                    MvParser* session) {
    const MvPluginSignature& signature = *arguments->signature();
    const std::size_t n = signature.parameters().size();
    std::vector<MvCallArgument> given(n);
    std::vector<MvCallArgument*> bound(n, nullptr);
    for (std::size_t p = 0; p < n && p < arguments->count(); ++p) {
        MvArgumentSlot& entry = arguments->entry(static_cast<std::uint32_t>(p));
        if (entry.kind == MvArgumentSlot::Empty)
            continue;
        given[p].slot.kind = entry.kind;
        given[p].slot.container = entry.container;
        given[p].slot.value = std::move(entry.value);
        bound[p] = &given[p];
    }
    run(result, arguments->context(), session, signature, bound.data(), nullptr);
}

bool MvFunctionContainerLocal::run(MvValueHolder& result, MvTreeEval* caller, MvParser* session,
                                   const MvPluginSignature& signature,
                                   MvCallArgument* const* bound, double* number) {
    return runBound(result, caller, session, signature, MvArgumentBinder(bound), number);
}

bool MvFunctionContainerLocal::runWithNumbers(MvValueHolder& result, MvTreeEval* caller,
                                              MvParser* session,
                                              const MvPluginSignature& signature,
                                              const int* boundTo, const double* numbers,
                                              double* number) {
    return runBound(result, caller, session, signature, MvNumberBinder(boundTo, numbers), number);
}

// The parameters become local variables of the frame: values as copies,
// variables as writable references (so that assignments reach the caller's
// variable). Defaults left to the callee are evaluated afterwards, in the
// frame, so they may use the parameters before them. The body runs as a
// block there; a return at its top level ends it directly, one further down
// arrives as a thrown return value.
template <class Binder>
bool MvFunctionContainerLocal::runBound(MvValueHolder& result, MvTreeEval* caller,
                                        MvParser* session, const MvPluginSignature& signature,
                                        const Binder& bind, double* number) {
    const std::vector<MvPluginParameter>& parameters = signature.parameters();
    if (buckets_.size() != parameters.size() || idleSignature_ != &signature) {
        // The frames kept belong to the parameters they were made for.
        frames_.made.resize(frames_.inUse);
        idleSignature_ = &signature;
        buckets_.clear();
        for (const MvPluginParameter& parameter : parameters)
            buckets_.push_back(MvAST::bucketOf(parameter.name));
    }
    MvTreeEval* global = caller ? caller->globalScope() : session->getMvTreeEval();
    FrameScope scope(frames_, session, global, buckets_, parameters);
    MvCallFrame& frame = scope.get();
    MvTreeEval& local = frame.evaluator();

    const std::size_t n = parameters.size();
    bool leftOut = false;
    for (std::size_t p = 0; p < n; ++p) {
        const MvPluginParameter& parameter = parameters[p];
        if (bind(frame, p, buckets_[p], parameter))
            continue;
        leftOut = true;
        frame.leaveOut(p, buckets_[p], parameter.name);
        if (parameter.dynamic)
            continue;
        if (!parameter.defaultValue)
            MvRaise("Internal parameter problem in plug-in");
        frame.bindValue(p, buckets_[p], parameter.name, parameter.defaultValue);
    }
    for (std::size_t p = 0; leftOut && p < n; ++p) {
        const MvPluginParameter& parameter = parameters[p];
        if (!parameter.dynamic || frame.isBound(p))
            continue;
        if (!parameter.defaultExpression)
            MvRaise("Error with default local function parameter.");
        MvValueHolder value;
        local.expression(parameter.defaultExpression, value);
        frame.bindValue(p, buckets_[p], parameter.name, std::move(value));
    }

    if (!body_)
        body_ = bodyOf(definition_);
    if (!body_)
        local.noViableAlternative("functionDefine", definition_);
    try {
        local.pollInterrupt();
        for (MvAST* statement = body_->child(); statement; statement = statement->sibling()) {
            if (statement->tokenType == MV_TOK_RETURN) {
                const MvAST* value = statement->child();
                if (!value)
                    return false;
                if (number && local.numberExpression(value, *number))
                    return true;
                local.resultExpression(value, result);
                return false;
            }
            local.statement(statement);
        }
    } catch (MvReturnValue& returned) {
        result = std::move(returned.value);
    }
    return false;
}
