// The process-wide memory limit and the check of single requests against it.
#include "MvMemoryRequest.h"

#include "morvane/MvException.h"
#include "morvane/MvMemoryLimit.h"
#include "platform/MvPlatformMemory.h"

#include <atomic>
#include <limits>
#include <string>

namespace {

constexpr std::uint64_t kUnlimited = std::numeric_limits<std::uint64_t>::max();

// Below this size a request is checked against the limit only: asking the
// system how much memory it has left costs more than small requests are worth.
constexpr std::uint64_t kLargeRequest = std::uint64_t(64) << 20;

std::atomic<std::uint64_t> hostLimit{0};

std::uint64_t defaultLimit() {
    static const std::uint64_t physical = MvPlatform::physicalMemoryBytes();
    return physical ? physical : kUnlimited;
}

[[noreturn]] void raiseOutOfMemory(const char* what, std::uint64_t bytes, const std::string& bound) {
    std::string where = std::string(" (") + what + " would need " + std::to_string(bytes) +
                        " bytes; " + bound;
    throw new MvMemoryException(where.c_str());
}

} // namespace

void MvSetMemoryLimit(std::uint64_t bytes) { hostLimit.store(bytes, std::memory_order_relaxed); }

std::uint64_t MvGetMemoryLimit() {
    std::uint64_t limit = hostLimit.load(std::memory_order_relaxed);
    return limit ? limit : defaultLimit();
}

void MvCheckMemoryRequest(std::uint64_t count, std::uint64_t itemSize, const char* what) {
    const std::uint64_t limit = MvGetMemoryLimit();
    if (itemSize != 0 && count > kUnlimited / itemSize)
        raiseOutOfMemory(what, kUnlimited, "the limit is " + std::to_string(limit) + " bytes");
    const std::uint64_t bytes = count * itemSize;
    if (bytes > limit)
        raiseOutOfMemory(what, bytes, "the limit is " + std::to_string(limit) + " bytes");
    // A request the system cannot meet would be granted on credit and then
    // end the process when its pages are touched: refuse it now instead.
    if (bytes >= kLargeRequest) {
        const std::uint64_t available = MvPlatform::availableMemoryBytes();
        if (available != 0 && bytes > available)
            raiseOutOfMemory(what, bytes,
                             "only " + std::to_string(available) + " bytes are available");
    }
}
