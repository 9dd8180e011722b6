// Current directory, sleeping and the wall clock.
#include "MvPlatform.h"

#include <chrono>
#include <filesystem>
#include <system_error>
#include <thread>

namespace {

const std::chrono::steady_clock::time_point processStart = std::chrono::steady_clock::now();

} // namespace

namespace MvPlatform {

std::string currentDirectory() {
    std::error_code error;
    std::filesystem::path here = std::filesystem::current_path(error);
    return error ? std::string() : here.string();
}

bool setCurrentDirectory(const std::string& path) {
    std::error_code error;
    std::filesystem::current_path(path, error);
    return !error;
}

void sleepMilliseconds(long milliseconds) {
    if (milliseconds > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

std::uint32_t elapsedMilliseconds() {
    auto elapsed = std::chrono::steady_clock::now() - processStart;
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

void localTime(std::time_t when, std::tm& into) {
#if defined(_WIN32)
    localtime_s(&into, &when);
#else
    localtime_r(&when, &into);
#endif
}

} // namespace MvPlatform
