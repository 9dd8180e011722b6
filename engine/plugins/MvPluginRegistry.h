// Functions by namespace and name, each name with its overloads in
// registration order. One registry is process-wide (built-in and plug-in
// functions); every session owns another for the functions its script
// defines. Keys are ordered byte-wise.
#ifndef MORVANE_ENGINE_MVPLUGINREGISTRY_H
#define MORVANE_ENGINE_MVPLUGINREGISTRY_H

#include "MvPluginSignature.h"

#include <list>
#include <map>
#include <memory>
#include <string>

// The namespace of functions called without one.
extern const char* const MvInternalNameSpace;   // "__MorvaneInternal"

class MvPluginRegistry {
public:
    using Overloads = std::list<std::unique_ptr<MvPluginSignature>>;
    using Functions = std::map<std::string, Overloads>;
    using NameSpaces = std::map<std::string, Functions>;

    // The process-wide registry, created empty on first use.
    static MvPluginRegistry* THE_PluginRegistry();
    // Destroys the process-wide registry; the next use creates a new one.
    static void deleteProcessRegistry();

    // Takes ownership of signature and adds it after the existing overloads.
    void insert(const std::string& nameSpace, const std::string& name,
                std::unique_ptr<MvPluginSignature> signature);

    bool hasNameSpace(const std::string& nameSpace) const;
    bool hasFunction(const std::string& nameSpace, const std::string& name) const;
    // The overloads of a function, or null when there is none.
    const Overloads* find(const std::string& nameSpace, const std::string& name) const;
    const NameSpaces& nameSpaces() const { return nameSpaces_; }

private:
    NameSpaces nameSpaces_;
};

#endif
