// The registry's maps and its listings.
#include "MvPluginRegistry.h"

#include "morvane/MvException.h"
#include "values/MvEntryGuard.h"
#include "values/MvListValue.h"
#include "values/MvTextValue.h"

#include <atomic>
#include <map>
#include <mutex>

const char* const MvInternalNameSpace = "__MorvaneInternal";

// std::map orders std::string keys with char_traits<char>::compare, which
// compares as unsigned char: byte-wise order.
struct MvPluginRegistry::NameSpaces {
    using Functions = std::map<std::string, Overloads>;
    std::map<std::string, Functions> spaces;
};

namespace {

// The process-wide registry, made on first use. Sessions on several threads
// may ask for it at once; it is made under the lock and then read without.
struct ProcessRegistry {
    std::mutex lock;
    std::unique_ptr<MvPluginRegistry> owned;
    std::atomic<MvPluginRegistry*> current{nullptr};
};

ProcessRegistry& processRegistry() {
    static ProcessRegistry registry;
    return registry;
}

MvListValue* listOrNew(MvListValue* list) { return list ? list : new MvListValue(); }

void appendText(MvListValue* list, std::string text) {
    MvValueHolder element(new MvTextValue(std::move(text)));
    list->Append(element);
}

[[noreturn]] void raiseNoNameSpace() { MvRaise("NameSpace doesn't exist"); }

} // namespace

// Changes with every registry made, changed or destroyed, in any session on
// any thread (call sites compare it to know their lookups still hold).
std::atomic<std::uint64_t> MvRegistryGenerationCount{1};

MvPluginRegistry::MvPluginRegistry() : nameSpaces_(std::make_unique<NameSpaces>()) {
    MvRegistryGenerationCount.fetch_add(1, std::memory_order_relaxed);
}

MvPluginRegistry::~MvPluginRegistry() {
    MvRegistryGenerationCount.fetch_add(1, std::memory_order_relaxed);
}

MvPluginRegistry* MvPluginRegistry::THE_PluginRegistry() {
    ProcessRegistry& process = processRegistry();
    if (MvPluginRegistry* registry = process.current.load(std::memory_order_acquire))
        return registry;
    std::lock_guard<std::mutex> guard(process.lock);
    if (!process.owned) {
        process.owned = std::make_unique<MvPluginRegistry>();
        process.current.store(process.owned.get(), std::memory_order_release);
    }
    return process.owned.get();
}

void MvDeletePluginRegistry() {
    MV_GUARDED_VOID_ENTRY(
        ProcessRegistry& process = processRegistry();
        std::lock_guard<std::mutex> guard(process.lock);
        process.current.store(nullptr, std::memory_order_release);
        process.owned.reset(););
}

void MvPluginRegistry::insert(const std::string& nameSpace, const std::string& name,
                              std::unique_ptr<MvPluginSignature> signature) {
    nameSpaces_->spaces[nameSpace][name].push_back(std::move(signature));
    MvRegistryGenerationCount.fetch_add(1, std::memory_order_relaxed);
}

const MvPluginRegistry::Overloads* MvPluginRegistry::find(const std::string& nameSpace,
                                                          const std::string& name) const {
    auto space = nameSpaces_->spaces.find(nameSpace);
    if (space == nameSpaces_->spaces.end())
        return nullptr;
    auto function = space->second.find(name);
    if (function == space->second.end() || function->second.empty())
        return nullptr;
    return &function->second;
}

bool MvPluginRegistry::hasNameSpace(const std::string& nameSpace) const {
    return nameSpaces_->spaces.count(nameSpace) != 0;
}

bool MvPluginRegistry::hasFunction(const std::string& nameSpace, const std::string& name) const {
    return find(nameSpace, name) != nullptr;
}

bool MvPluginRegistry::hasInternalFunction(const std::string& name) const {
    return find(MvInternalNameSpace, name) != nullptr;
}

MvListValue* MvPluginRegistry::GetNameSpaceNames(MvListValue* list) {
    list = listOrNew(list);
    for (const auto& space : nameSpaces_->spaces)
        if (space.first != MvInternalNameSpace)
            appendText(list, space.first);
    return list;
}

MvListValue* MvPluginRegistry::GetFunctionNames(MvListValue* list) {
    list = listOrNew(list);
    for (const auto& space : nameSpaces_->spaces) {
        const bool internal = space.first == MvInternalNameSpace;
        for (const auto& function : space.second)
            appendText(list, internal ? function.first : space.first + "." + function.first);
    }
    return list;
}

MvListValue* MvPluginRegistry::GetFunctionNames(const std::string& nameSpace, MvListValue* list) {
    auto space = nameSpaces_->spaces.find(nameSpace);
    if (space == nameSpaces_->spaces.end())
        raiseNoNameSpace();
    list = listOrNew(list);
    for (const auto& function : space->second)
        appendText(list, function.first);
    return list;
}

MvListValue* MvPluginRegistry::GetFunctionNamesInternal(MvListValue* list) {
    list = listOrNew(list);
    auto space = nameSpaces_->spaces.find(MvInternalNameSpace);
    if (space != nameSpaces_->spaces.end())
        for (const auto& function : space->second)
            appendText(list, function.first);
    return list;
}

MvListValue* MvPluginRegistry::GetSignatures(MvListValue* list) {
    list = listOrNew(list);
    for (const auto& space : nameSpaces_->spaces)
        for (const auto& function : space.second)
            for (const auto& signature : function.second)
                appendText(list, signature->text(space.first, function.first));
    return list;
}

MvListValue* MvPluginRegistry::GetSignatures(const std::string& nameSpace, MvListValue* list) {
    auto space = nameSpaces_->spaces.find(nameSpace);
    if (space == nameSpaces_->spaces.end())
        raiseNoNameSpace();
    list = listOrNew(list);
    for (const auto& function : space->second)
        for (const auto& signature : function.second)
            appendText(list, signature->text(space->first, function.first));
    return list;
}

MvListValue* MvPluginRegistry::GetSignatures(const std::string& nameSpace,
                                             const std::string& function, MvListValue* list) {
    auto space = nameSpaces_->spaces.find(nameSpace);
    if (space == nameSpaces_->spaces.end())
        raiseNoNameSpace();
    auto overloads = space->second.find(function);
    if (overloads == space->second.end())
        MvRaise("Function doesn't exist");
    list = listOrNew(list);
    for (const auto& signature : overloads->second)
        appendText(list, signature->text(space->first, overloads->first));
    return list;
}
