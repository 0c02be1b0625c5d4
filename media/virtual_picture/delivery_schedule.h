// When the virtual webcam delivers what. A sender's new frame goes out as
// soon as it arrives, unless that would exceed the negotiated rate; a live
// sender that falls silent for a moment has its last frame repeated; without
// a live sender the placeholder goes out at the negotiated rate.
#pragma once

#include <cstdint>

namespace virtual_picture {

// A sender whose latest frame is older than this counts as gone.
inline constexpr uint64_t kSenderTimeoutMs = 1000;

struct ScheduleState {
    int64_t now = 0;            // 100 ns units, any monotonic origin
    int64_t last_delivery = -1; // when the previous frame went out, -1 = none yet
    int64_t interval = 0;       // negotiated frame interval, > 0
    bool sender_live = false;   // a sender delivered within kSenderTimeoutMs
    bool new_frame = false;     // it has a frame not delivered yet
    bool last_was_sender_frame = false;  // the previous delivery was a new sender frame
};

enum class Delivery { kSenderFrame, kRepeat, kPlaceholder, kWait };

struct Decision {
    Delivery delivery;
    int64_t wait_until;  // for kWait: when to look again at the latest
};

Decision Decide(const ScheduleState& state);

// Whether a sender with this heartbeat is live at `now_ms` (same clock).
inline bool SenderLive(uint64_t frame_sequence, uint64_t heartbeat_ms, uint64_t now_ms) {
    return frame_sequence != 0 && now_ms >= heartbeat_ms && now_ms - heartbeat_ms < kSenderTimeoutMs;
}

}  // namespace virtual_picture
