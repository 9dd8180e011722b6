#include "MvPluginRegistry.h"

#include <mutex>

const char* const MvInternalNameSpace = "__MorvaneInternal";

namespace {

std::unique_ptr<MvPluginRegistry>& processRegistry() {
    static std::unique_ptr<MvPluginRegistry> registry;
    return registry;
}

} // namespace

MvPluginRegistry* MvPluginRegistry::THE_PluginRegistry() {
    std::unique_ptr<MvPluginRegistry>& registry = processRegistry();
    if (!registry)
        registry = std::make_unique<MvPluginRegistry>();
    return registry.get();
}

void MvPluginRegistry::deleteProcessRegistry() { processRegistry().reset(); }

void MvPluginRegistry::insert(const std::string& nameSpace, const std::string& name,
                              std::unique_ptr<MvPluginSignature> signature) {
    nameSpaces_[nameSpace][name].push_back(std::move(signature));
}

bool MvPluginRegistry::hasNameSpace(const std::string& nameSpace) const {
    return nameSpaces_.count(nameSpace) != 0;
}

bool MvPluginRegistry::hasFunction(const std::string& nameSpace, const std::string& name) const {
    return find(nameSpace, name) != nullptr;
}

const MvPluginRegistry::Overloads* MvPluginRegistry::find(const std::string& nameSpace,
                                                          const std::string& name) const {
    auto space = nameSpaces_.find(nameSpace);
    if (space == nameSpaces_.end())
        return nullptr;
    auto function = space->second.find(name);
    if (function == space->second.end() || function->second.empty())
        return nullptr;
    return &function->second;
}
