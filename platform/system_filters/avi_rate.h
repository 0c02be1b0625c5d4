// The frame rate an AVI video stream is written with. AVI knows one fixed
// rate per stream, so a live source's time stamps have to be boiled down to
// one.
#pragma once

#include <cstdint>

namespace avi {

// Units per second = rate / scale, as the stream header stores it.
struct Rate {
    uint32_t scale = 1;
    uint32_t rate = 1;
};

// What the writer saw of a video stream's time stamps (100-ns units).
struct FrameTiming {
    uint32_t frames = 0;
    bool timed = false;  // every frame carried a start time
    int64_t firstStart = 0;
    int64_t firstStop = 0;  // equals firstStart when the first frame had no stop time
    int64_t lastStart = 0;
};

constexpr int64_t kUnitsPerSecond = 10000000;
// When neither the format nor the time stamps tell.
constexpr int64_t kFallbackFrameDuration = kUnitsPerSecond / 30;

// The time per frame to write: the nominal one while the time stamps agree
// with it within 2 %, otherwise the average the time stamps show (so that a
// source that delivered fewer frames than it promised still plays for as
// long as it recorded); the first frame's own duration or a fallback when
// there is nothing else.
int64_t ChooseFrameDuration(int64_t nominal, const FrameTiming& timing);

// The duration as a rate: whole or NTSC (1000/1001) frame rates exactly,
// anything else as the reduced fraction of 100-ns units.
Rate RateForFrameDuration(int64_t duration);

}  // namespace avi
