// Times for encoded audio frames. The encoder counts input samples from the
// start of the stream; capture hands over buffers with time stamps that can
// jump (a lost buffer, a discontinuity). Each stamped buffer becomes an
// anchor, and a frame's time is its first sample's distance from the last
// anchor at or before it, so a jump moves the frames after it and only those.
#pragma once

#include <cstdint>
#include <deque>

namespace mpeg_filters {

class SampleClock {
public:
    explicit SampleClock(int sample_rate) : rate_(sample_rate > 0 ? sample_rate : 1) {}

    void Reset() { anchors_.clear(); }
    // The buffer that starts at sample `index` (per channel) began at `time` (100 ns).
    void Anchor(uint64_t index, int64_t time);
    // Time of sample `index`; false before the first anchor. Queries must not
    // go back in index: anchors they have passed are dropped.
    bool TimeOf(uint64_t index, int64_t* time);

private:
    struct Point {
        uint64_t index;
        int64_t time;
    };
    int rate_;
    std::deque<Point> anchors_;
};

}  // namespace mpeg_filters
