// Dynamic loading and the names of the system and the processor.
#include "MvPlatform.h"
#include "MvRegularFile.h"

#include <cstdint>

#if defined(_WIN32)
#  define WIN32_LEAN_AND_MEAN
#  include <windows.h>
#else
#  include <dlfcn.h>
#  include <sys/utsname.h>
#endif

namespace MvPlatform {

#if defined(_WIN32)

LibraryHandle loadLibrary(const std::string& path, std::string& error) {
    const FileCheck check = checkRegularFile(path, UINT64_MAX);
    if (!check) {
        error = "The file " + check.reason + ".";
        return nullptr;
    }
    LibraryHandle library = reinterpret_cast<LibraryHandle>(LoadLibraryA(path.c_str()));
    if (!library)
        error = "The system cannot load it.";
    return library;
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
LibraryHandle loadLibrary(const std::string& path, std::string& error) {
    const FileCheck check = checkRegularFile(path, UINT64_MAX);
    if (!check) {
        error = "The file " + check.reason + ".";
        return nullptr;
    }
    // A name without a folder would send the loader searching the system's
    // library folders; the file checked above is the one to load.
    const std::string file = path.find('/') == std::string::npos ? "./" + path : path;
    LibraryHandle library = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const char* why = dlerror();
        error = why ? why : "The system cannot load it.";
    }
    return library;
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
