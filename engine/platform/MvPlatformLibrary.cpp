// Dynamic loading and the names of the system and the processor.
#include "MvPlatform.h"

#if defined(_WIN32)
#  define WIN32_LEAN_AND_MEAN
#  include <windows.h>
#else
#  include <dlfcn.h>
#  include <sys/utsname.h>
#endif

namespace MvPlatform {

#if defined(_WIN32)

LibraryHandle loadLibrary(const std::string& path) {
    return reinterpret_cast<LibraryHandle>(LoadLibraryA(path.c_str()));
}

void* findSymbol(LibraryHandle library, const char* name) {
    if (!library || !name)
        return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

std::string operatingSystemName() { return "Windows"; }

std::string processorName() { return "x86"; }

#else

// Every symbol is bound at load time, so a library with unresolved
// references fails here rather than at its first call.
LibraryHandle loadLibrary(const std::string& path) {
    return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
}

void* findSymbol(LibraryHandle library, const char* name) {
    if (!library || !name)
        return nullptr;
    return dlsym(library, name);
}

std::string operatingSystemName() {
    utsname names;
    if (uname(&names) != 0)
        return "Unknown";
    const std::string system = names.sysname;
    return system == "Darwin" ? "MacOSX" : system;
}

std::string processorName() {
    utsname names;
    if (uname(&names) != 0)
        return "Unknown";
    return names.machine;
}

#endif

} // namespace MvPlatform
