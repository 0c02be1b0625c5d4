#include "filters/mpeg/sample_clock.h"

namespace mpeg_filters {

void SampleClock::Anchor(uint64_t index, int64_t time) {
    // A later stamp for the same index replaces the earlier (an empty buffer, then a full one).
    while (!anchors_.empty() && anchors_.back().index >= index) anchors_.pop_back();
    anchors_.push_back({index, time});
}

bool SampleClock::TimeOf(uint64_t index, int64_t* time) {
    while (anchors_.size() > 1 && anchors_[1].index <= index) anchors_.pop_front();
    if (anchors_.empty()) return false;
    const Point& a = anchors_.front();
    // Before the first anchor (a frame that starts ahead of it) counts back from it.
    const bool after = index >= a.index;
    const uint64_t distance = after ? index - a.index : a.index - index;
    const int64_t offset = static_cast<int64_t>(distance / rate_ * 10000000 + distance % rate_ * 10000000 / rate_);
    *time = after ? a.time + offset : a.time - offset;
    return true;
}

}  // namespace mpeg_filters
