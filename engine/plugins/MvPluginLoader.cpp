// Loading plug-in libraries: the library is loaded, its entry point found
// and called; every failure becomes a status and a message.
#include "MvPluginRegistry.h"

#include "morvane/MvException.h"
#include "platform/MvPlatform.h"
#include "values/MvTextValue.h"

namespace {

constexpr std::int32_t kNotLoaded = 47;
constexpr std::int32_t kNoEntryPoint = 48;
constexpr std::int32_t kEntryPointFailed = 99;

} // namespace

void MvRegisterPlugin(MvTextValue* message, std::int32_t* status, const char* path) {
    std::int32_t ignoredStatus = 0;
    MvTextValue ignoredMessage;
    if (!status)
        status = &ignoredStatus;
    if (!message)
        message = &ignoredMessage;
    *status = 0;
    message->text = path ? path : "";

    MvPlatform::LibraryHandle library = path ? MvPlatform::loadLibrary(path) : nullptr;
    if (!library) {
        message->text += ": PlugIn could not be loaded.";
        *status = kNotLoaded;
        return;
    }
    auto entry = reinterpret_cast<MvPluginEntryPoint>(
        MvPlatform::findSymbol(library, MV_PLUGIN_ENTRY_NAME));
    if (!entry) {
        message->text = "PlugIn does not export the function PluginRegisterVersion001()";
        *status = kNoEntryPoint;
        return;
    }
    try {
        entry();
    } catch (MvException* error) {
        delete error;
        *status = kEntryPointFailed;
    } catch (...) {
        *status = kEntryPointFailed;
    }
}
