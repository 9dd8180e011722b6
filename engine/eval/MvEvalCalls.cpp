// Function calls: the call site collects the arguments, the overloads of the
// function are tried in registration order (the process-wide registry
// first, then the script's own), the first that fits gets an argument block
// and is called.
#include "MvCalls.h"

#include "MvScriptFolderScope.h"
#include "MvTreeEval.h"
#include "MvValueContainer.h"

#include "frontend/MvAST.h"
#include "morvane/MvException.h"
#include "morvane/MvParser.h"
#include "morvane/MvScalarApi.h"
#include "morvane/MvTokens.h"
#include "plugins/MvParameterBlock.h"
#include "plugins/MvPluginRegistry.h"
#include "values/MvNumberValue.h"

#include <algorithm>
#include <new>
#include <vector>

// ------------------------------------------------------------ active calls

namespace {

// The innermost call under way on this thread; each block links to the
// enclosing one. (The library's thread storage uses the model that works
// when a host loads the library with dlopen.)
thread_local MvParameterBlock* innermostCall = nullptr;

} // namespace

namespace MvActiveCalls {

void push(MvParameterBlock* block) {
    block->enclosing = innermostCall;
    innermostCall = block;
}

// Normally block is the innermost call; after a reset it may be gone.
void pop(MvParameterBlock* block) {
    for (MvParameterBlock* b = innermostCall; b; b = b->enclosing) {
        if (b == block) {
            innermostCall = block->enclosing;
            return;
        }
    }
}

void withdraw(const MvValueContainer* container) {
    for (MvParameterBlock* b = innermostCall; b; b = b->enclosing)
        b->withdraw(container);
}

void reset() { innermostCall = nullptr; }

} // namespace MvActiveCalls

namespace {

// Keeps a block on the active-calls stack for as long as it lives.
class ActiveBlock {
public:
    ActiveBlock() { MvActiveCalls::push(&block_); }
    ~ActiveBlock() { MvActiveCalls::pop(&block_); }
    ActiveBlock(const ActiveBlock&) = delete;
    ActiveBlock& operator=(const ActiveBlock&) = delete;
    MvParameterBlock& get() { return block_; }

private:
    MvParameterBlock block_;
};

// A short list kept in place (only the elements added are made); longer
// ones spill to the heap.
template <class T, std::size_t N>
class SmallList {
public:
    SmallList() = default;
    ~SmallList() {
        for (std::size_t i = 0; i < size_ && i < N; ++i)
            inlineAt(i)->~T();
    }
    SmallList(const SmallList&) = delete;
    SmallList& operator=(const SmallList&) = delete;

    T& add() {
        if (size_ < N)
            return *new (inlineAt(size_++)) T();
        ++size_;
        more_.emplace_back();
        return more_.back();
    }
    T& operator[](std::size_t i) { return i < N ? *inlineAt(i) : more_[i - N]; }
    const T& operator[](std::size_t i) const {
        return i < N ? *const_cast<SmallList*>(this)->inlineAt(i) : more_[i - N];
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
struct CallRecord {
    const std::string* nameSpace = nullptr;
    const std::string* function = nullptr;
    SmallList<MvCallArgument, 4> arguments;
};

// The value an argument brings: its own, or its variable's current one.
MvValue* argumentValue(const MvArgumentSlot& slot) {
    if (slot.kind == MvArgumentSlot::Reference)
        return slot.container->readSlot().get();
    return slot.value.get();
}

// An argument fits a parameter when the parameter accepts the type of its
// value and it is a variable exactly when the parameter is by reference.
bool fits(const MvPluginParameter& parameter, const MvCallArgument& argument) {
    if (parameter.isReference != (argument.slot.kind == MvArgumentSlot::Reference))
        return false;
    if (argument.isNumber)
        return parameter.type.contains(MvTypeNumber);
    MvValue* value = argumentValue(argument.slot);
    return value && parameter.type.contains(value->GetType());
}

bool isShared(const MvValueHolder& value) { return !value.isSole(); }

// Named arguments bind first (to the first unbound parameter of that name
// that may be named), then the positional ones (to the first unbound
// parameter). A signature with fewer parameters than arguments, a name it
// lacks or a required parameter left over can never fit the call.
using Candidate = MvCallCandidate;

bool shapeFits(const MvPluginSignature& signature, const CallRecord& call, Candidate& candidate) {
    const std::vector<MvPluginParameter>& parameters = signature.parameters();
    const std::size_t n = parameters.size();
    const std::size_t argumentCount = call.arguments.size();
    if (n < argumentCount)
        return false;
    std::vector<int>& boundTo = candidate.boundTo;
    boundTo.assign(n, -1);
    for (std::size_t a = 0; a < argumentCount; ++a) {
        const std::string* name = call.arguments[a].name;
        if (!name)
            continue;
        std::size_t p = 0;
        while (p < n && (boundTo[p] >= 0 || parameters[p].unnamed || parameters[p].name != *name))
            ++p;
        if (p == n)
            return false;
        boundTo[p] = static_cast<int>(a);
    }
    for (std::size_t a = 0, p = 0; a < argumentCount; ++a) {
        if (call.arguments[a].name)
            continue;
        while (p < n && boundTo[p] >= 0)
            ++p;
        if (p == n)
            return false;
        boundTo[p] = static_cast<int>(a);
    }
    for (std::size_t p = 0; p < n; ++p)
        if (boundTo[p] < 0 && parameters[p].required)
            return false;
    candidate.signature = &signature;
    return true;
}

// The overloads of the process-wide registry come before the script's own,
// so native functions win over script functions of the same name that fit
// as well.
using Lookup = MvCallSiteLookup;

void addCandidates(Lookup& lookup, const MvPluginRegistry::Overloads* overloads,
                   const CallRecord& call) {
    if (!overloads)
        return;
    Candidate candidate;
    for (const std::unique_ptr<MvPluginSignature>& signature : *overloads)
        if (shapeFits(*signature, call, candidate))
            lookup.candidates.push_back(candidate);
}

// The table entry of a call site (which may hold another site's lookup).
Lookup& lookUpEntry(MvCallSites& sites, const MvAST* node) {
    return sites.lookups[(reinterpret_cast<std::uintptr_t>(node) >> 4) % MvCallSites::kSize];
}

const Lookup& lookUp(MvCallSites& sites, const MvAST* node, const CallRecord& call,
                     const MvPluginRegistry& local) {
    Lookup& entry = lookUpEntry(sites, node);
    const std::uint64_t generation = MvRegistryGeneration();
    if (entry.node == node && entry.generation == generation && entry.local == &local)
        return entry;
    entry.node = node;
    entry.generation = generation;
    entry.local = &local;
    entry.candidates.clear();
    entry.numberCandidate = -1;
    MvPluginRegistry* process = MvPluginRegistry::THE_PluginRegistry();
    addCandidates(entry, process->find(*call.nameSpace, *call.function), call);
    addCandidates(entry, local.find(*call.nameSpace, *call.function), call);
    return entry;
}

// Whether every argument suits the parameter it is bound to.
bool argumentsFit(const Candidate& candidate, CallRecord& call) {
    const std::vector<MvPluginParameter>& parameters = candidate.signature->parameters();
    for (std::size_t p = 0; p < parameters.size(); ++p) {
        const int a = candidate.boundTo[p];
        if (a >= 0 && !fits(parameters[p], call.arguments[static_cast<std::size_t>(a)]))
            return false;
    }
    return true;
}

// The block of the chosen signature: the arguments (a value is copied when
// the function may change it and someone else holds it), then the defaults
// of the parameters left out (dynamic ones stay empty).
void fillBlock(const Candidate& candidate, CallRecord& call, MvParameterBlock& block) {
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
            if (given.kind == MvArgumentSlot::Value && !parameter.isConst && isShared(given.value)) {
                entry.kind = MvArgumentSlot::Value;
                entry.value = given.value->Clone();
            } else {
                block.share(index, &given);   // the call record outlives the call
            }
        } else if (!parameter.dynamic && parameter.defaultValue) {
            // A default is held by its descriptor: the call gets a copy of
            // its own unless the function only reads it.
            entry.kind = MvArgumentSlot::Value;
            entry.value = parameter.isConst ? parameter.defaultValue
                                            : MvValueHolder(parameter.defaultValue->Clone());
        }
    }
}

// The first reachable overload whose parameters accept the arguments; null
// when none does. The candidate lives in the call sites' table, where the
// next call made anywhere may replace it.
const Candidate* resolve(MvCallSites& sites, const MvAST* node, CallRecord& call,
                         const MvPluginRegistry& local) {
    const Lookup& lookup = lookUp(sites, node, call, local);
    for (const Candidate& candidate : lookup.candidates)
        if (argumentsFit(candidate, call))
            return &candidate;
    return nullptr;
}

[[noreturn]] void raiseIncorrectArguments(const CallRecord& call) {
    std::string text = "Function \"";
    if (*call.nameSpace != MvInternalNameSpace)
        text += *call.nameSpace + ".";
    text += *call.function + "\" was called with incorrect arguments.";
    MvRaise(text);
}

// A script function takes the call's arguments directly: its frame binds
// them to its parameters' variables before anything else runs, so they need
// neither an argument block nor a place on the active-calls stack.
bool callScriptFunction(MvFunctionContainerLocal& function, MvTreeEval& caller,
                        const Candidate& candidate, CallRecord& call, MvValueHolder& result,
                        double* number) {
    constexpr std::size_t kInline = 8;
    const std::size_t n = candidate.boundTo.size();
    MvCallArgument* inlineBound[kInline];
    std::vector<MvCallArgument*> moreBound;
    MvCallArgument** bound = inlineBound;
    if (n > kInline) {
        moreBound.resize(n);
        bound = moreBound.data();
    }
    for (std::size_t p = 0; p < n; ++p) {
        const int a = candidate.boundTo[p];
        bound[p] = a >= 0 ? &call.arguments[static_cast<std::size_t>(a)] : nullptr;
    }
    return function.run(result, &caller, caller.session(), *candidate.signature, bound, number);
}

// Any other function gets the block of the chosen signature, listed on the
// active-calls stack while it runs.
void callWithBlock(MvFunctionContainer& function, MvTreeEval& caller, const Candidate& candidate,
                   CallRecord& call, MvValueHolder& result) {
    MvParser* session = caller.session();
    ActiveBlock active;
    MvParameterBlock& block = active.get();
    fillBlock(candidate, call, block);
    block.setContext(&caller);
    if (function.usesCurrentDirectory()) {
        MvScriptFolderScope inScriptFolder(session);
        function.call(result, &block, session);
    } else {
        function.call(result, &block, session);
    }
}

// Whether every argument of the call is a number (none is a variable).
bool allNumbers(const CallRecord& call) {
    for (std::size_t a = 0; a < call.arguments.size(); ++a)
        if (!call.arguments[a].isNumber)
            return false;
    return true;
}

// What a function gave: a number (returned is true) must be of the result
// type, a value too (none becomes a no-value).
bool checkedResult(const MvType& resultType, bool takesNumber, bool returned,
                   MvValueHolder& result) {
    if (returned) {
        if (!takesNumber)
            MvRaise("Function returned illegal type");
        return true;
    }
    if (!result) {
        result = MvNoValueCreate();
        return false;
    }
    const MvTypeEnum type = result->GetType();
    if (type != MvTypeUndefined && !resultType.contains(type))
        MvRaise("Function returned illegal type");
    return false;
}

bool invoke(MvTreeEval& caller, const MvAST* node, CallRecord& call, MvValueHolder& result,
            double* number) {
    MvCallSites& sites = caller.callSites();
    const MvPluginRegistry& localFunctions = caller.session()->getLocalFunctions();
    const Candidate* candidate = resolve(sites, node, call, localFunctions);
    if (!candidate)
        raiseIncorrectArguments(call);
    // A script function's signature lives in the session's registry, which
    // lasts the run; the candidate may be another site's when the call ends.
    const MvPluginSignature& signature = *candidate->signature;
    MvFunctionContainer* function = signature.function();
    if (MvFunctionContainerLocal* local = function->asLocal()) {
        if (allNumbers(call)) {
            Lookup& lookup = lookUpEntry(sites, node);
            lookup.numberCandidate = static_cast<int>(candidate - lookup.candidates.data());
        }
        const bool returned = callScriptFunction(*local, caller, *candidate, call, result, number);
        return checkedResult(signature.resultType(), signature.resultTakesNumber(), returned,
                             result);
    }
    // Taken before the call: a native function may change the registries.
    const MvType resultType = signature.resultType();
    callWithBlock(*function, caller, *candidate, call, result);
    return checkedResult(resultType, false, false, result);
}

// A call the call site made before with numbers alone, made again with
// numbers: the arguments are computed as doubles and bound to the script
// function chosen then, with no call record. False, having done nothing
// that shows, when the site has no such choice or an argument is no
// expression of numbers.
bool tryNumberCall(MvTreeEval& caller, const MvAST* node, const MvAST* firstArgument,
                   MvValueHolder& result, double* number, bool& returned) {
    MvCallSites& sites = caller.callSites();
    const Lookup& lookup = lookUpEntry(sites, node);
    if (lookup.numberCandidate < 0 || lookup.node != node ||
        lookup.generation != MvRegistryGeneration() ||
        lookup.local != &caller.session()->getLocalFunctions())
        return false;
    constexpr std::size_t kMost = 8;
    double numbers[kMost];
    std::size_t count = 0;
    for (const MvAST* argument = firstArgument; argument; argument = argument->sibling()) {
        const MvAST* value = argument;
        if (value->tokenType == MV_TOK_PARAM_ASSIGN)
            value = value->child() ? value->child()->sibling() : nullptr;
        if (value && value->tokenType == MV_TOK_NO_REF_PARAMETER)
            value = value->child();
        if (!value || value->tokenType == MV_TOK_REF_PARAMETER || count == kMost ||
            !caller.numberExpression(value, numbers[count]))
            return false;
        ++count;
    }
    const Candidate& candidate = lookup.candidates[static_cast<std::size_t>(lookup.numberCandidate)];
    const MvPluginSignature& signature = *candidate.signature;
    MvFunctionContainerLocal* local = signature.function()->asLocal();
    const bool gave = local->runWithNumbers(result, &caller, caller.session(), signature,
                                            candidate.boundTo.data(), numbers, number);
    returned = checkedResult(signature.resultType(), signature.resultTakesNumber(), gave, result);
    return true;
}

// One argument node: #(-> name value) or a bare value, where the value is
// #(& variable) or #(no-ref expression).
void collectArgument(MvTreeEval& caller, const MvAST* node, MvCallArgument& argument) {
    const MvAST* value = node;
    if (node->tokenType == MV_TOK_PARAM_ASSIGN) {
        const MvAST* name = node->child();
        if (!name)
            caller.noViableAlternative("parameterExpression", node);
        argument.name = &name->text;
        value = name->sibling();
    }
    if (!value)
        caller.noViableAlternative("parameterValueExpression", node);
    if (value->tokenType == MV_TOK_REF_PARAMETER) {
        const MvAST* variable = value->child();
        const MvAST* id = variable ? variable->child() : nullptr;
        if (!id)
            caller.noViableAlternative("parameterRefParameter", value);
        MvTreeEval* scope = variable->tokenType == MV_TOK_GLOBAL ? caller.globalScope() : &caller;
        argument.slot.container = scope->findVariable(id->identifierBucket, id->text);
        argument.slot.kind = MvArgumentSlot::Reference;
        return;
    }
    const MvAST* expression =
        value->tokenType == MV_TOK_NO_REF_PARAMETER ? value->child() : value;
    argument.isNumber = caller.numberExpression(expression, argument.number);
    if (!argument.isNumber)
        caller.expression(expression, argument.slot.value);
    argument.slot.kind = MvArgumentSlot::Value;
}

} // namespace

void MvCallArgument::makeValue() {
    if (!isNumber)
        return;
    slot.value = new MvNumberValue(number);
    isNumber = false;
}

bool MvCallFunction(MvTreeEval& caller, const MvAST* node, MvValueHolder& result,
                    double* number) {
    caller.pollInterrupt();
    const MvAST* nameSpace = node->child();
    const MvAST* function = nameSpace ? nameSpace->sibling() : nullptr;
    if (!function)
        caller.noViableAlternative("pluginFunctionExpression", node);
    bool returned = false;
    if (tryNumberCall(caller, node, function->sibling(), result, number, returned))
        return returned;
    CallRecord call;
    call.nameSpace = &nameSpace->text;
    call.function = &function->text;
    for (const MvAST* argument = function->sibling(); argument; argument = argument->sibling())
        collectArgument(caller, argument, call.arguments.add());
    return invoke(caller, node, call, result, number);
}

// ------------------------------------------------------ script functions

void MvTreeEval::makeCallSites() { callSites_ = std::make_unique<MvCallSites>(); }

void MvTreeEval::startOfCall(MvParser* session, MvTreeEval* globalEvaluator) {
    session_ = session;
    globalEvaluator_ = globalEvaluator;
    assignTargetMode_ = false;
    inProtectedStatement_ = false;
    reportNode_ = nullptr;
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

// One call's scope: an evaluator of its own, with the slots of the
// function's parameters kept from its previous call (emptied, or holding a
// number of their own that the next call's number replaces in place).
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

    void bindNumber(std::size_t p, int bucket, const std::string& name, double number) {
        if (MvValueContainer* slot = reserved(p)) {
            slot->holdNumber(number);
            return;
        }
        slots_[p] = evaluator_.makeParameter(nullptr, bucket, name,
                                             MvValueHolder(new MvNumberValue(number)));
    }

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
    void end(const std::vector<int>& buckets, const std::vector<MvPluginParameter>& parameters) {
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

namespace {

// Binds the arguments of a call site: per parameter, the argument bound to
// it or null.
class ArgumentBinder {
public:
    explicit ArgumentBinder(MvCallArgument* const* bound) : bound_(bound) {}

    // False for a parameter left out.
    bool operator()(MvCallFrame& frame, std::size_t p, int bucket,
                    const MvPluginParameter& parameter) const {
        MvCallArgument* given = bound_[p];
        if (!given)
            return false;
        if (given->slot.kind == MvArgumentSlot::Reference)
            frame.bindReference(p, bucket, parameter.name, given->slot.container);
        else if (given->isNumber)
            frame.bindNumber(p, bucket, parameter.name, given->number);
        else if (given->slot.kind == MvArgumentSlot::Value)
            frame.bindValue(p, bucket, parameter.name, std::move(given->slot.value));
        else
            MvRaise("Internal parameter problem in plug-in");
        return true;
    }

private:
    MvCallArgument* const* bound_;
};

// Binds numbers: per parameter, the index of its number or -1.
class NumberBinder {
public:
    NumberBinder(const int* boundTo, const double* numbers)
        : boundTo_(boundTo), numbers_(numbers) {}

    bool operator()(MvCallFrame& frame, std::size_t p, int bucket,
                    const MvPluginParameter& parameter) const {
        const int a = boundTo_[p];
        if (a < 0)
            return false;
        frame.bindNumber(p, bucket, parameter.name, numbers_[a]);
        return true;
    }

private:
    const int* boundTo_;
    const double* numbers_;
};

} // namespace

bool MvFunctionContainerLocal::run(MvValueHolder& result, MvTreeEval* caller, MvParser* session,
                                   const MvPluginSignature& signature,
                                   MvCallArgument* const* bound, double* number) {
    return runBound(result, caller, session, signature, ArgumentBinder(bound), number);
}

bool MvFunctionContainerLocal::runWithNumbers(MvValueHolder& result, MvTreeEval* caller,
                                              MvParser* session,
                                              const MvPluginSignature& signature,
                                              const int* boundTo, const double* numbers,
                                              double* number) {
    return runBound(result, caller, session, signature, NumberBinder(boundTo, numbers), number);
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
