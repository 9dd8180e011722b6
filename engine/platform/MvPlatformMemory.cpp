// Physical memory from sysconf; available memory from the kernel's own
// estimate in /proc/meminfo.
#include "MvPlatformMemory.h"

#include <unistd.h>

#include <fstream>
#include <string>

namespace {

// A "Name:   123 kB" line of /proc/meminfo, in bytes; false when absent.
bool meminfoField(const std::string& name, std::uint64_t& bytes) {
    std::ifstream in("/proc/meminfo");
    std::string key;
    std::uint64_t kilobytes = 0;
    std::string unit;
    while (in >> key >> kilobytes) {
        std::getline(in, unit);
        if (key == name + ":") {
            bytes = kilobytes * 1024;
            return true;
        }
    }
    return false;
}

} // namespace

namespace MvPlatform {

std::uint64_t physicalMemoryBytes() {
    long pages = sysconf(_SC_PHYS_PAGES);
    long pageSize = sysconf(_SC_PAGE_SIZE);
    if (pages <= 0 || pageSize <= 0)
        return 0;
    return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize);
}

// MemAvailable counts free memory and the caches the kernel can drop; free
// swap can be handed out as well.
std::uint64_t availableMemoryBytes() {
    std::uint64_t available = 0;
    if (!meminfoField("MemAvailable", available))
        return 0;
    std::uint64_t swap = 0;
    meminfoField("SwapFree", swap);
    return available + swap;
}

} // namespace MvPlatform
