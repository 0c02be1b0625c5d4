// What the effect filter lays on each frame: one effect, or one frame file
// (picture frame, GIF or Flash) played over the camera picture. A decoration
// is made whole on the caller's thread and handed to the stream through a
// DecorationSlot; the stream renders each frame with the one it took at the
// frame's start, so no frame mixes two decorations. Plain C++ (host-tested).
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>

#include "media/effects/effect.h"
#include "media/frame_files/frame_animation.h"

namespace effect_filter {

// Only the streaming thread renders; Render keeps per-stream caches inside
// (effect maps, the face tracker, scaled overlay pictures).
class Decoration {
public:
    virtual ~Decoration() = default;
    // The effect code shown, or -1 for a frame file.
    virtual int code() const = 0;
    // dst = src decorated; same size, no overlap.
    virtual void Render(const effects::ConstFrameView& src, const effects::FrameView& dst, effects::SampleTime time) = 0;
};

// How a frame file plays, from the two ints of the frame calls:
//  first: speed in percent of the file's own timing, 0 meaning 100 (1..1000);
//  second: how many times an animation plays before it holds its last
//  picture, 0 meaning as the file says (0..1000000).
// Hosts pass 0, 0: the file's own timing, looping (a GIF without a looping
// extension plays once). Still pictures ignore both. Other values are refused.
struct FramePlay {
    int speed_percent = 100;
    int plays = 0;
};
bool ReadFramePlay(int first, int second, FramePlay* play);

// Null for a code outside 0..21.
std::unique_ptr<Decoration> MakeEffectDecoration(int code, uint32_t seed = 1);
// The animation starts at its first picture with the first frame rendered,
// and again whenever sample times start over (a new run of the stream).
std::unique_ptr<Decoration> MakeFrameDecoration(std::shared_ptr<const frame_files::FrameAnimation> animation,
                                                FramePlay play);

// The current decoration, swapped whole under a lock held only for a pointer copy.
class DecorationSlot {
public:
    std::shared_ptr<Decoration> Get() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return current_;
    }
    void Set(std::shared_ptr<Decoration> next) {
        std::lock_guard<std::mutex> lock(mutex_);
        current_.swap(next);
        // The old one (in `next`) is released after the lock, possibly on this thread.
    }

private:
    mutable std::mutex mutex_;
    std::shared_ptr<Decoration> current_;
};

}  // namespace effect_filter
