// The exported native-function interface: registration, argument reading,
// error reporting and the flat registry listings.
#include "MvParameterBlock.h"
#include "MvPendingSignatures.h"
#include "MvPluginRegistry.h"

#include "values/MvValueContainer.h"
#include "morvane/MvException.h"
#include "values/MvEntryGuard.h"
#include "values/MvListValue.h"
#include "values/MvTextValue.h"
#include "values/MvVectorValue.h"

#include <cstring>
#include <sstream>

static_assert(sizeof(MvValueHolder) == sizeof(MvValue*),
              "a value slot is handed out as the pointer it holds");

// ---------------------------------------------------------------- blocks

void MvParameterBlock::reset(const MvPluginSignature* signature, std::uint32_t count) {
    for (std::uint32_t i = 0; i < count_; ++i)
        own_[i].clear();
    if (count > kInline && count > heapSize_) {
        ownHeap_ = std::make_unique<MvArgumentSlot[]>(count);
        entriesHeap_ = std::make_unique<MvArgumentSlot*[]>(count);
        heapSize_ = count;
    }
    own_ = count > kInline ? ownHeap_.get() : ownInline_;
    entries_ = count > kInline ? entriesHeap_.get() : entriesInline_;
    for (std::uint32_t i = 0; i < count; ++i)
        entries_[i] = &own_[i];
    count_ = count;
    signature_ = signature;
}

std::uint32_t MvParameterBlock::indexOf(const char* name) const {
    const int index = signature_ ? signature_->indexOf(name ? name : "") : -1;
    if (index < 0)
        MvRaise("Internal named parameter error plugin");
    if (static_cast<std::uint32_t>(index) >= count_)
        MvRaise("Illegal parameter index in plug-in");
    return static_cast<std::uint32_t>(index);
}

void MvParameterBlock::withdraw(const MvValueContainer* container) {
    for (std::uint32_t i = 0; i < count_; ++i)
        if (entries_[i]->kind == MvArgumentSlot::Reference && entries_[i]->container == container)
            entries_[i]->clear();
}

// ---------------------------------------------------------- registration

namespace {

MvPluginSignature* createSignature(std::uint32_t parameterCount, MvType resultType,
                                   MvPluginFunction function) {
    auto signature = std::make_unique<MvPluginSignature>(
        parameterCount, resultType, std::make_unique<MvFunctionContainerPlugin>(function));
    MvPendingSignatures::created(signature.get());
    return signature.release();
}

// A new descriptor is dynamic, required, read-only and unnamed until the
// arguments say otherwise.
void declareParameter(MvPluginSignature* signature, MvType type, const char* name,
                      MvValue* defaultValue, MvEnumArgumentConsumed consumed) {
    if (!signature)
        MvRaise("Nil signature in plug-in registration");
    const bool special = defaultValue == MvParamRequired || defaultValue == MvParamDynamic;
    // Taken over at once, so that a refused declaration frees a fresh default.
    mv_auto_value<MvValue> given(special ? nullptr : defaultValue);
    if (signature->declaredCount() >= signature->parameterCount()) {
        std::ostringstream text;
        text << "Plugin parameter " << (name == MvParamUnnamed || !name ? "<unnamed>" : name)
             << " declared beyond the " << signature->parameterCount()
             << " parameters its signature was created with.";
        MvRaise(text.str());
    }
    MvPluginParameter p;
    p.dynamic = p.required = p.isConst = p.unnamed = true;
    p.isReference = false;

    const MvEnumArgumentConsumed mode = type.isReference() ? MvArgumentByReference : consumed;
    p.isReference = mode == MvArgumentByReference;
    if (p.isReference)
        type.setReference(true);
    p.isConst = mode == MvArgumentNotConsumed;
    p.consumed = consumed;
    p.type = type;

    if (name == MvParamUnnamed) {
        p.unnamed = true;
    } else {
        p.name = name ? name : "";
        p.unnamed = false;
    }

    if (defaultValue == MvParamDynamic) {
        p.dynamic = true;
        p.required = false;
    } else if (defaultValue == MvParamRequired) {
        p.required = true;
        p.dynamic = false;
    } else {
        p.dynamic = p.required = false;
        p.defaultValue = std::move(given);
    }
    signature->addParameter(std::move(p));
}

void commitSignature(MvPluginSignature* signature, const char* nameSpace,
                     const char* functionName, const char* description) {
    if (!signature)
        MvRaise("Nil signature in plug-in registration");
    const std::string name = functionName ? functionName : "";
    signature->setDescription(description ? description : "");
    if (!nameSpace || !*nameSpace || std::strcmp(nameSpace, MvInternalNameSpace) == 0)
        MvRaise("Plugin \"" + name + "\" needs a namespace.");
    if (signature->declaredCount() != signature->parameterCount())
        MvRaise("Plugin \"" + std::string(nameSpace) + "." + name +
                "\" initialized with wrong number of parameters.");
    MvPendingSignatures::committed(signature);
    MvPluginRegistry::THE_PluginRegistry()->insert(nameSpace, name,
                                                   std::unique_ptr<MvPluginSignature>(signature));
}

} // namespace

MvPluginSignature* MvPluginSignatureCreate(std::uint32_t parameterCount, MvType resultType,
                                           MvPluginFunction function) {
    MV_RAISING_ENTRY(return createSignature(parameterCount, resultType, function););
}

void MvPluginSignatureSetParam(MvPluginSignature* signature, MvType type, const char* name,
                               MvValue* defaultValue, MvEnumArgumentConsumed consumed) {
    MV_RAISING_ENTRY(declareParameter(signature, type, name, defaultValue, consumed););
}

void MvPluginSignatureCommit(MvPluginSignature* signature, const char* nameSpace,
                             const char* functionName, const char* description) {
    MV_RAISING_ENTRY(commitSignature(signature, nameSpace, functionName, description););
}

// ------------------------------------------------------- reading arguments

namespace {

MvArgumentSlot& entryOf(MvParameterBlock* block, const char* name) {
    if (!block)
        MvRaise("Illegal parameter index in plug-in");
    return block->named(name);
}

// A counted slot's value made unique: a shared value is replaced by a copy.
MvValue* makeUnique(MvValueHolder& slot) {
    if (!slot)
        MvRaise("Empty parameter in plug-in");
    if (!slot.isUnique())
        slot = slot->Clone();
    return slot.get();
}

MvValue* currentValue(MvArgumentSlot& entry) {
    switch (entry.kind) {
    case MvArgumentSlot::Reference: {
        MvValueHolder& slot = entry.container->readSlot();
        if (!slot)
            MvRaise("Reference to an invalid variable.");
        return slot.get();
    }
    case MvArgumentSlot::Value:
        return entry.value.get();
    default:
        MvRaise("Empty parameter in plug-in");
    }
}

MvValue* valueOfType(MvParameterBlock* block, const char* name, MvTypeEnum type,
                     const char* typeName) {
    MvValue* value = currentValue(entryOf(block, name));
    if (value->GetType() != type)
        MvRaise(std::string("Illegal attempt to coerce another type to ") + typeName +
                " in plugin");
    return value;
}

MvArgumentSlot& referenceEntry(MvParameterBlock* block, const char* name) {
    MvArgumentSlot& entry = entryOf(block, name);
    if (entry.kind != MvArgumentSlot::Reference)
        MvRaise("Non l-value parameter in plug-in");
    return entry;
}

} // namespace

MvValue* MvParameterBlockGetValue(MvParameterBlock* block, const char* name) {
    MV_RAISING_ENTRY(
        return currentValue(entryOf(block, name)););
}

MvValue* MvParameterBlockGetValueUnique(MvParameterBlock* block, const char* name) {
    MV_RAISING_ENTRY(
        MvArgumentSlot& entry = entryOf(block, name);
        if (entry.kind != MvArgumentSlot::Value)
            MvRaise("Non r-parameter in plug-in");
        return makeUnique(entry.value););
}

MvValue* MvParameterBlockGetValueMutable(MvParameterBlock* block, const char* name) {
    MV_RAISING_ENTRY(
        MvArgumentSlot& entry = entryOf(block, name);
        if (entry.kind != MvArgumentSlot::Reference)
            MvRaise("Empty parameter in plug-in");
        return makeUnique(entry.container->writeSlot()););
}

bool MvParameterBlockIsReferenceValue(MvParameterBlock* block, const char* name) {
    MV_RAISING_ENTRY(
        return entryOf(block, name).kind == MvArgumentSlot::Reference;);
}

MvValueHolder& MvParameterBlockGetReferenceHolder(MvParameterBlock* block, const char* name) {
    return referenceEntry(block, name).container->writeSlot();
}

MvValue** MvParameterBlockGetReferenceValue(MvParameterBlock* block, const char* name) {
    MV_RAISING_ENTRY(
        return reinterpret_cast<MvValue**>(&MvParameterBlockGetReferenceHolder(block, name)););
}

// The value is taken over first, so that a refused call frees a fresh one.
void MvParameterBlockSetValue(MvParameterBlock* block, const char* name, MvValue* value) {
    MV_RAISING_ENTRY(
        MvValueHolder given(value);
        MvArgumentSlot& entry = referenceEntry(block, name);
        entry.container->assign(std::move(given)););
}

void MvParameterBlockNotifyChange(MvParameterBlock* block, const char* name) {
    MV_RAISING_ENTRY(
        MvArgumentSlot& entry = entryOf(block, name);
        if (entry.kind == MvArgumentSlot::Reference)
            entry.container->valueChanged(););
}

double MvParameterBlockGetNumberValue(MvParameterBlock* block, const char* name) {
    MV_RAISING_ENTRY(
        return valueOfType(block, name, MvTypeNumber, "number")->GetNumber(););
}

bool MvParameterBlockGetBooleanValue(MvParameterBlock* block, const char* name) {
    MV_RAISING_ENTRY(
        return valueOfType(block, name, MvTypeBoolean, "boolean")->GetBoolean(););
}

const char* MvParameterBlockGetTextValue(MvParameterBlock* block, const char* name) {
    MV_RAISING_ENTRY(
        return static_cast<MvTextValue*>(valueOfType(block, name, MvTypeText, "text"))->text.c_str(););
}

bool MvParameterBlockCompareTextValue(MvParameterBlock* block, const char* name,
                                      const char* text) {
    MV_RAISING_ENTRY(
        const std::string& own =
            static_cast<MvTextValue*>(valueOfType(block, name, MvTypeText, "text"))->text;
        return text && own == text;);
}

std::int32_t MvParameterBlockGetVectorLength(MvParameterBlock* block, const char* name) {
    MV_RAISING_ENTRY(
        MvValue* vector = valueOfType(block, name, MvTypeVector, "vector");
        return static_cast<std::int32_t>(static_cast<MvVectorValue*>(vector)->values.size()););
}

double MvParameterBlockGetVectorValue(MvParameterBlock* block, const char* name,
                                      std::int32_t index) {
    MV_RAISING_ENTRY(
        MvValue* vector = valueOfType(block, name, MvTypeVector, "vector");
        const std::vector<double>& values = static_cast<MvVectorValue*>(vector)->values;
        if (index < 0 || static_cast<std::size_t>(index) >= values.size())
            MvRaise("Illegal vector index in plugin");
        return values[static_cast<std::size_t>(index)];);
}

bool MvParameterBlockIsDynamicGenerationRequired(MvParameterBlock* block, const char* name) {
    MV_RAISING_ENTRY(
        if (!block)
            MvRaise("Illegal parameter index in plug-in");
        const std::uint32_t index = block->indexOf(name);
        return block->signature()->parameters()[index].dynamic &&
               block->entry(index).kind == MvArgumentSlot::Empty;);
}

// ------------------------------------------------------- reporting failure

void MvPluginErrorBlockSetNumber(MvPluginErrorBlock* error, std::int32_t number) {
    MV_GUARDED_VOID_ENTRY(
        if (error)
            error->number = number;);
}

void MvPluginErrorBlockSetMessage(MvPluginErrorBlock* error, const char* message) {
    MV_GUARDED_VOID_ENTRY(
        if (!error)
            return;
        error->message = message ? message : "";
        if (error->number == 0)
            error->number = -1;);
}

void MvPluginErrorBlockSetURL(MvPluginErrorBlock* error, const char* url) {
    MV_GUARDED_VOID_ENTRY(
        if (!error)
            return;
        error->url = url ? url : "";
        if (error->number == 0)
            error->number = -1;);
}

// ------------------------------------------------------------ flat listings

namespace {

// The index-th text of a listing, into out.
bool pick(MvListValue* listing, std::int32_t index, MvTextValue* out) {
    MvValueHolder owner(listing);
    if (index < 0 || static_cast<std::size_t>(index) >= listing->elements.size())
        return false;
    if (out)
        out->text = listing->elements[static_cast<std::size_t>(index)]->GetText();
    return true;
}

void joinInto(MvListValue* listing, MvTextValue* out) {
    MvValueHolder owner(listing);
    std::string joined;
    for (std::size_t i = 0; i < listing->elements.size(); ++i) {
        if (i)
            joined += '\n';
        joined += listing->elements[i]->GetText();
    }
    if (out)
        out->text = std::move(joined);
}

} // namespace

bool MvPluginRegistryGetNameSpace(std::int32_t index, MvTextValue* out) {
    MV_GUARDED_ENTRY(false,
        return pick(MvPluginRegistry::THE_PluginRegistry()->GetNameSpaceNames(), index, out););
}

bool MvPluginRegistryGetFunctionName(const char* nameSpace, std::int32_t index,
                                     MvTextValue* out) {
    MV_GUARDED_ENTRY(false,
        MvPluginRegistry* registry = MvPluginRegistry::THE_PluginRegistry();
        if (!nameSpace || !registry->hasNameSpace(nameSpace))
            return false;
        return pick(registry->GetFunctionNames(nameSpace), index, out););
}

bool MvPluginRegistryGetFunctionNamesInternal(std::int32_t index, MvTextValue* out) {
    MV_GUARDED_ENTRY(false,
        return pick(MvPluginRegistry::THE_PluginRegistry()->GetFunctionNamesInternal(), index, out););
}

// An unknown namespace or function leaves out empty and says so on the
// warning console.
void MvPluginRegistryGetSignature(const char* nameSpace, const char* function,
                                  MvTextValue* out) {
    if (out)
        out->text.clear();
    MV_GUARDED_VOID_ENTRY(
        joinInto(MvPluginRegistry::THE_PluginRegistry()->GetSignatures(nameSpace ? nameSpace : "",
                                                                       function ? function : ""),
                 out););
}

void MvPluginRegistryGetSignatureInternal(const char* function, MvTextValue* out) {
    MvPluginRegistryGetSignature(MvInternalNameSpace, function, out);
}

MvTextValue* MvValueAsText(MvValue* value) {
    return value && value->GetType() == MvTypeText ? static_cast<MvTextValue*>(value) : nullptr;
}

MvValue* MvListAsValue(MvListValue* list) { return list; }
