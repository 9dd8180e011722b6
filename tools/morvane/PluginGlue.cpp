// The registry glue. Each engine entry point used here has a stand-in in
// namespace absent; the stand-ins are templates, so where the engine's
// headers declare the real (non-template) function, overload resolution
// picks the real one, and where they do not, the stand-in is called and
// returns the marker type Absent. The host then knows at compile time which
// entry points exist, without any configuration step.
#include "PluginGlue.h"

#include "HostOptions.h"

#include "morvane/MvHost.h"

#if __has_include("morvane/MvPluginApi.h")
#include "morvane/MvPluginApi.h"
#endif

#include <cstdint>
#include <cstdio>
#include <type_traits>

class MvTextValue;

namespace absent {

struct Absent {};

template <typename... Args>
Absent MvPluginRegistryInitInternal(Args...) { return {}; }
template <typename... Args>
Absent MvDeletePluginRegistry(Args...) { return {}; }
template <typename... Args>
Absent MvRegisterPlugin(Args...) { return {}; }
template <typename... Args>
Absent MvValueAsText(Args...) { return {}; }

// The text of a plug-in's status message, or nothing without the engine's
// text accessor.
inline std::string messageText(MvTextValue* text) {
    const char* bytes = text ? MvTextGetTextPtr(text) : nullptr;
    return bytes ? bytes : "";
}
inline std::string messageText(Absent) { return {}; }

} // namespace absent

using namespace absent;

namespace {

// Loading needs the loader itself and the view of a value as a text, which
// receives the loader's message.
constexpr bool kHasPluginLoading =
    !std::is_same<decltype(MvRegisterPlugin(static_cast<MvTextValue*>(nullptr),
                                            static_cast<std::int32_t*>(nullptr),
                                            static_cast<const char*>(nullptr))),
                  Absent>::value &&
    !std::is_same<decltype(MvValueAsText(static_cast<MvValue*>(nullptr))), Absent>::value;

} // namespace

void registerBuiltinFunctions() {
    // The built-in namespaces (Math, File, System, ...). Without them a call
    // of a native function is reported as not defined.
    MvPluginRegistryInitInternal();
}

bool loadPlugins(const std::vector<std::string>& paths) {
    if (paths.empty())
        return true;
    if (!kHasPluginLoading) {
        std::fputs("morvane: this build of the engine cannot load plug-ins yet\n", stderr);
        return false;
    }
    for (const std::string& path : paths) {
        MvValue* message = MvTextCreate("");
        std::int32_t status = 0;
        auto text = MvValueAsText(message);
        MvRegisterPlugin(text, &status, path.c_str());
        if (status != 0) {
            std::string reason = messageText(text);
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
int listFunctions(const std::vector<std::string>& args) {
    registerBuiltinFunctions();
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
