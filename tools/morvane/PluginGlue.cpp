// The process-wide function registry as the host fills, lists and empties it.
#include "PluginGlue.h"

#include "DefaultPlugins.h"
#include "HostOptions.h"

#include "morvane/MvHost.h"
#include "morvane/MvPluginApi.h"

#include <cstdint>
#include <cstdio>

void registerBuiltinFunctions() {
    // The built-in namespaces (Math, File, System, ...). Without them a call
    // of a native function is reported as not defined.
    MvPluginRegistryInitInternal();
}

bool loadPlugins(const std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
        MvValue* message = MvTextCreate("");
        std::int32_t status = 0;
        MvTextValue* text = MvValueAsText(message);
        MvRegisterPlugin(text, &status, path.c_str());
        if (status != 0) {
            const char* bytes = MvTextGetTextPtr(text);
            std::string reason = bytes ? bytes : "";
            if (reason.empty())
                reason = path;
            std::fprintf(stderr, "morvane: plug-in %s failed to load (status %d): %s\n",
                         path.c_str(), static_cast<int>(status), reason.c_str());
            MvTextDelete(message);
            return false;
        }
        MvTextDelete(message);
    }
    return true;
}

void deleteFunctionRegistry() { MvDeletePluginRegistry(); }

// The signature texts of every native function, of one namespace, or of one
// function, one after another, each ending in a line end.
int listFunctions(const std::vector<std::string>& args, bool defaultPlugins) {
    registerBuiltinFunctions();
    if (defaultPlugins)
        loadDefaultPlugins(defaultPluginFolders());
    MvPluginRegistry* registry = MvPluginRegistry::THE_PluginRegistry();
    MvListValue* list = nullptr;
    try {
        if (args.empty())
            list = registry->GetSignatures();
        else if (args.size() == 1)
            list = registry->GetSignatures(args[0]);
        else
            list = registry->GetSignatures(args[0], args[1]);
    } catch (MvException* error) {
        std::fprintf(stderr, "morvane: %s\n", error->getMessage().c_str());
        delete error;
        deleteFunctionRegistry();
        return kExitUsage;
    }
    MvValueHolder signatures(MvListAsValue(list));
    std::string text = signatures->GetText();
    std::fwrite(text.data(), 1, text.size(), stdout);
    if (!text.empty() && text.back() != '\n')
        std::fputc('\n', stdout);
    signatures.release();
    deleteFunctionRegistry();
    return kExitOk;
}
