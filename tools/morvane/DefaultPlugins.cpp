// Finding and loading the plug-ins that ship with morvane.
#include "DefaultPlugins.h"

#include "platform/MvExecutablePath.h"

#include "morvane/MvHost.h"
#include "morvane/MvPluginApi.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>

#ifndef MORVANE_INSTALL_LIBDIR
#define MORVANE_INSTALL_LIBDIR "lib"
#endif

namespace {

std::string fileName(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Loads one library; on failure returns false and sets reason.
bool loadOne(const std::string& path, std::string& reason) {
    MvValue* message = MvTextCreate("");
    std::int32_t status = 0;
    MvTextValue* text = MvValueAsText(message);
    MvRegisterPlugin(text, &status, path.c_str());
    if (status != 0) {
        const char* bytes = MvTextGetTextPtr(text);
        reason = bytes && *bytes ? bytes : "status " + std::to_string(status);
    }
    MvTextDelete(message);
    return status == 0;
}

} // namespace

std::vector<std::string> defaultPluginFolders() {
    std::vector<std::string> folders;
    const std::string exe = MvPlatform::executableFolder();
    if (!exe.empty()) {
        folders.push_back(exe + "/plugins");
        folders.push_back(exe + "/../lib/morvane/plugins");
        if (std::string(MORVANE_INSTALL_LIBDIR) != "lib")
            folders.push_back(exe + "/../" MORVANE_INSTALL_LIBDIR "/morvane/plugins");
    }
    if (const char* path = std::getenv("MORVANE_PLUGIN_PATH")) {
        std::string list = path;
        std::size_t start = 0;
        while (start <= list.size()) {
            const std::size_t colon = list.find(':', start);
            const std::string folder =
                list.substr(start, colon == std::string::npos ? std::string::npos : colon - start);
            if (!folder.empty())
                folders.push_back(folder);
            if (colon == std::string::npos)
                break;
            start = colon + 1;
        }
    }
    return folders;
}

void loadDefaultPlugins(const std::vector<std::string>& folders) {
    std::set<std::string> loaded;
    for (const std::string& folder : folders)
        for (const std::string& path : MvPlatform::filesEndingIn(folder, ".so")) {
            if (loaded.count(fileName(path)))
                continue;
            std::string reason;
            if (loadOne(path, reason))
                loaded.insert(fileName(path));
            else
                std::fprintf(stderr, "morvane: warning: skipped the plug-in %s: %s\n",
                             path.c_str(), reason.c_str());
        }
}
