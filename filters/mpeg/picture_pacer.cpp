#include "filters/mpeg/picture_pacer.h"

namespace mpeg_filters {

int PicturePacer::MissingBefore(int64_t time) const {
    if (!have_last_ || duration_ <= 0 || time <= last_) return 0;
    // Nearest whole number of frame periods, so that jitter of up to half a
    // period neither adds nor hides a picture.
    const uint64_t gap = static_cast<uint64_t>(time) - static_cast<uint64_t>(last_);
    const uint64_t d = static_cast<uint64_t>(duration_);
    const uint64_t periods = gap / d + (gap % d >= (d + 1) / 2 ? 1 : 0);
    if (periods <= 1 || periods - 1 > kMaxFill) return 0;
    return static_cast<int>(periods - 1);
}

void PicturePacer::Coded(int64_t time) {
    last_ = time;
    have_last_ = true;
}

}  // namespace mpeg_filters
