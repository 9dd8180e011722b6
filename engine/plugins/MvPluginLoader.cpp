// Loading plug-in libraries: the library is loaded, its entry point found
// and called; every failure becomes a status and a message that says why.
#include "MvPendingSignatures.h"
#include "MvPluginRegistry.h"

#include "morvane/MvException.h"
#include "platform/MvPlatform.h"
#include "values/MvEntryGuard.h"
#include "values/MvTextValue.h"

#include <exception>
#include <new>

namespace {

constexpr std::int32_t kNotLoaded = 47;
constexpr std::int32_t kNoEntryPoint = 48;
constexpr std::int32_t kEntryPointFailed = 99;

// Runs the entry point; the reason it failed, or empty when it succeeded.
// Signatures it made but left uncommitted are freed on the way out.
std::string runEntryPoint(MvPluginEntryPoint entry) {
    try {
        MvPendingSignatures uncommitted;
        entry();
        return std::string();
    } catch (MvException* error) {
        std::string reason = error->getMessage();
        delete error;
        return reason.empty() ? "the registration raised an error" : reason;
    } catch (const std::bad_alloc&) {
        return "the registration ran out of memory";
    } catch (const std::exception& error) {
        return error.what();
    } catch (...) {
        return "the registration raised an unknown exception";
    }
}

void loadPlugin(std::string& message, std::int32_t& status, const char* path) {
    status = 0;
    message = path ? path : "";

    std::string why = "No path was given.";
    MvPlatform::LibraryHandle library = path ? MvPlatform::loadLibrary(path, why) : nullptr;
    if (!library) {
        message += ": PlugIn could not be loaded. " + why;
        status = kNotLoaded;
        return;
    }
    auto entry = reinterpret_cast<MvPluginEntryPoint>(
        MvPlatform::findSymbol(library, MV_PLUGIN_ENTRY_NAME));
    if (!entry) {
        message = "PlugIn does not export the function PluginRegisterVersion001()";
        status = kNoEntryPoint;
        return;
    }
    const std::string failure = runEntryPoint(entry);
    if (!failure.empty()) {
        message += ": " + failure;
        status = kEntryPointFailed;
    }
}

} // namespace

void MvRegisterPlugin(MvTextValue* message, std::int32_t* status, const char* path) {
    std::int32_t ignoredStatus = 0;
    if (!status)
        status = &ignoredStatus;
    *status = kNotLoaded;   // until loading says otherwise
    MV_GUARDED_VOID_ENTRY(
        std::string text;
        loadPlugin(text, *status, path);
        if (message)
            message->text = std::move(text););
}
