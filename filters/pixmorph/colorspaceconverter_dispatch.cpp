#include <atomic>

#include "filters/pixmorph/colorspaceconverter_kernels.h"

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

namespace pixmorph {

namespace {

#if defined(__i386__) || defined(__x86_64__)
// AVX2 needs the OS to save the YMM registers, not only the CPU bit.
bool OsSavesYmm() {
    uint32_t low, high;
    __asm__ volatile("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
    return (low & 6) == 6;
}

SimdLevel Detect() {
    unsigned a, b, c, d;
    if (!__get_cpuid(1, &a, &b, &c, &d) || !(d & bit_SSE2)) return SimdLevel::kScalar;
    if (!(c & bit_SSSE3)) return SimdLevel::kSse2;
    const bool avx = (c & bit_OSXSAVE) && (c & bit_AVX) && OsSavesYmm();
    if (!avx || !__get_cpuid_count(7, 0, &a, &b, &c, &d) || !(b & bit_AVX2)) return SimdLevel::kSsse3;
    return SimdLevel::kAvx2;
}
#else
SimdLevel Detect() { return SimdLevel::kScalar; }
#endif

const detail::RowKernels* KernelsFor(SimdLevel level) {
    switch (level) {
    case SimdLevel::kAvx2: return detail::Avx2Kernels();
    case SimdLevel::kSsse3: return detail::Ssse3Kernels();
    case SimdLevel::kSse2: return detail::Sse2Kernels();
    case SimdLevel::kScalar: break;
    }
    return &detail::ScalarKernels();
}

// The best level at or below `wanted` that the CPU runs and this build holds.
SimdLevel Usable(SimdLevel wanted) {
    const SimdLevel detected = DetectedSimdLevel();
    auto level = static_cast<int>(wanted < detected ? wanted : detected);
    while (level > 0 && !KernelsFor(static_cast<SimdLevel>(level))) --level;
    return static_cast<SimdLevel>(level);
}

std::atomic<int> g_forced{-1};

}  // namespace

SimdLevel DetectedSimdLevel() {
    static const SimdLevel level = Detect();
    return level;
}

SimdLevel ActiveSimdLevel() {
    const int forced = g_forced.load(std::memory_order_relaxed);
    return Usable(forced < 0 ? SimdLevel::kAvx2 : static_cast<SimdLevel>(forced));
}

void ForceSimdLevel(SimdLevel level) { g_forced.store(static_cast<int>(level), std::memory_order_relaxed); }

const char* SimdLevelName(SimdLevel level) {
    switch (level) {
    case SimdLevel::kScalar: return "scalar";
    case SimdLevel::kSse2: return "SSE2";
    case SimdLevel::kSsse3: return "SSSE3";
    case SimdLevel::kAvx2: return "AVX2";
    }
    return "?";
}

namespace detail {
const RowKernels& ActiveKernels() { return *KernelsFor(ActiveSimdLevel()); }
}  // namespace detail

}  // namespace pixmorph
