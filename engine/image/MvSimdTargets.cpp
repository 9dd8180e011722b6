// The two questions Highway's run-time dispatch asks: which instruction sets
// this processor and its operating system support, and which of them was
// chosen. Highway's shared library answers them too, but it measures its
// timer while it is being loaded, which costs every process that links it
// tens of milliseconds where the time-stamp counter is slow to read (as on
// many virtual machines). The engine therefore uses Highway as headers only
// and answers from the compiler's own processor detection, which also checks
// that the operating system saves the wide registers.
//
// A target counts as supported only when every extension its code is
// compiled with is present, so the dispatch never reaches an instruction
// the processor lacks; when in doubt a narrower target is chosen.
#include <hwy/targets.h>

#include <atomic>
#include <cstdint>

namespace {

bool supportsSsse3() {
    return __builtin_cpu_supports("sse2") && __builtin_cpu_supports("ssse3");
}

bool supportsSse4() {
    return supportsSsse3() && __builtin_cpu_supports("sse4.1") &&
           __builtin_cpu_supports("sse4.2") && __builtin_cpu_supports("pclmul") &&
           __builtin_cpu_supports("aes");
}

bool supportsAvx2() {
    return supportsSse4() && __builtin_cpu_supports("avx") && __builtin_cpu_supports("avx2") &&
           __builtin_cpu_supports("bmi") && __builtin_cpu_supports("bmi2") &&
           __builtin_cpu_supports("fma") && __builtin_cpu_supports("f16c") &&
           __builtin_cpu_supports("lzcnt");
}

bool supportsAvx3() {
    return supportsAvx2() && __builtin_cpu_supports("avx512f") &&
           __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512dq") &&
           __builtin_cpu_supports("avx512bw");
}

bool supportsAvx3Dl() {
    return supportsAvx3() && __builtin_cpu_supports("vpclmulqdq") &&
           __builtin_cpu_supports("avx512vbmi") && __builtin_cpu_supports("avx512vbmi2") &&
           __builtin_cpu_supports("vaes") && __builtin_cpu_supports("avxvnni") &&
           __builtin_cpu_supports("avx512vnni") && __builtin_cpu_supports("avx512bitalg") &&
           __builtin_cpu_supports("avx512vpopcntdq");
}

std::int64_t detectTargets() {
    // The portable targets run anywhere and close every dispatch table.
    std::int64_t targets = HWY_SCALAR | HWY_EMU128;
#if HWY_ARCH_X86
    __builtin_cpu_init();
    if (supportsSsse3())
        targets |= HWY_SSSE3;
    if (supportsSse4())
        targets |= HWY_SSE4;
    if (supportsAvx2())
        targets |= HWY_AVX2;
    if (supportsAvx3())
        targets |= HWY_AVX3;
    if (supportsAvx3Dl())
        targets |= HWY_AVX3_DL;
#endif
    // Targets the compiler builds badly stay off, as Highway itself keeps them.
    return targets & ~static_cast<std::int64_t>(HWY_BROKEN_TARGETS);
}

// Constant-initialised: the first dispatch finds it ready and updates it.
hwy::ChosenTarget chosenTarget;

// Set by the tests that run the kernels once per target; 0 when unset.
std::atomic<std::int64_t> targetsForTest{0};

} // namespace

namespace hwy {

std::int64_t SupportedTargets() {
    static const std::int64_t targets = detectTargets();
    const std::int64_t forTest = targetsForTest.load(std::memory_order_relaxed);
    return forTest != 0 ? forTest : targets;
}

// The next dispatch chooses again, among the given targets only.
void SetSupportedTargetsForTest(std::int64_t targets) {
    targetsForTest.store(targets, std::memory_order_relaxed);
    chosenTarget.DeInit();
}

ChosenTarget& GetChosenTarget() { return chosenTarget; }

} // namespace hwy
