// How many pictures a capture stream is missing before a frame, judged from
// the time stamps: the encoder repeats the previous picture that many times
// so that a file of N seconds holds N times the picture rate.
#pragma once

#include <cstdint>

namespace mpeg_filters {

class PicturePacer {
public:
    // Gaps longer than this many frame durations are a pause in the
    // stream, not lost frames: nothing is filled in.
    static constexpr int kMaxFill = 30;

    // frame_duration in 100 ns; 0 or less switches filling off.
    explicit PicturePacer(int64_t frame_duration) : duration_(frame_duration) {}

    void Reset() { have_last_ = false; }
    // A frame stamped `time` is about to be coded: the number of repeated
    // pictures to code first. Repeat i (from 1) belongs at last + i * duration.
    int MissingBefore(int64_t time) const;
    // The frame (or repeat) stamped `time` was coded.
    void Coded(int64_t time);
    int64_t last_time() const { return last_; }
    int64_t frame_duration() const { return duration_; }

private:
    int64_t duration_;
    int64_t last_ = 0;
    bool have_last_ = false;
};

}  // namespace mpeg_filters
