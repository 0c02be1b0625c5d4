#include "system_filters/avi_rate.h"

#include <cstdlib>
#include <numeric>

namespace avi {

int64_t ChooseFrameDuration(int64_t nominal, const FrameTiming& timing) {
    int64_t measured = 0;
    if (timing.timed && timing.frames >= 2 && timing.lastStart > timing.firstStart) {
        const int64_t intervals = timing.frames - 1;
        measured = (timing.lastStart - timing.firstStart + intervals / 2) / intervals;
    }
    if (measured > 0 && nominal > 0) return std::llabs(measured - nominal) * 50 <= nominal ? nominal : measured;
    if (measured > 0) return measured;
    if (nominal > 0) return nominal;
    const int64_t first = timing.timed ? timing.firstStop - timing.firstStart : 0;
    return first > 0 ? first : kFallbackFrameDuration;
}

Rate RateForFrameDuration(int64_t duration) {
    if (duration <= 0) duration = kFallbackFrameDuration;
    // AvgTimePerFrame is 1e7 / fps truncated to whole units, hence the slack of one unit per frame.
    for (int64_t fps = 1; fps <= 240; ++fps) {
        if (std::llabs(kUnitsPerSecond - fps * duration) <= fps) return {1, static_cast<uint32_t>(fps)};
        if (std::llabs(kUnitsPerSecond * 1001 / 1000 - fps * duration) <= fps) {
            return {1001, static_cast<uint32_t>(fps * 1000)};
        }
    }
    int64_t scale = duration;
    int64_t rate = kUnitsPerSecond;
    const int64_t divisor = std::gcd(scale, rate);
    scale /= divisor;
    rate /= divisor;
    while (scale > UINT32_MAX) {  // over seven minutes per frame: precision no longer matters
        scale /= 2;
        rate = rate > 1 ? rate / 2 : 1;
    }
    return {static_cast<uint32_t>(scale), static_cast<uint32_t>(rate)};
}

}  // namespace avi
