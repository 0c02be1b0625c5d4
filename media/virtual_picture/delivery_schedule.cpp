#include "media/virtual_picture/delivery_schedule.h"

namespace virtual_picture {

Decision Decide(const ScheduleState& s) {
    if (s.last_delivery < 0) {
        return {s.sender_live ? Delivery::kSenderFrame : Delivery::kPlaceholder, s.now};
    }
    if (s.sender_live && s.new_frame) {
        // After a placeholder or a repeat the new frame goes at once. After a
        // sender frame, three quarters of an interval: a sender at the same
        // rate keeps its own rhythm through the jitter of both sides.
        if (!s.last_was_sender_frame) return {Delivery::kSenderFrame, s.now};
        const int64_t earliest = s.last_delivery + s.interval * 3 / 4;
        return s.now >= earliest ? Decision{Delivery::kSenderFrame, s.now} : Decision{Delivery::kWait, earliest};
    }
    if (s.sender_live) {
        // A late frame is usually on its way; repeat only after two intervals.
        const int64_t repeat_at = s.last_delivery + 2 * s.interval;
        return s.now >= repeat_at ? Decision{Delivery::kRepeat, s.now} : Decision{Delivery::kWait, repeat_at};
    }
    const int64_t next = s.last_delivery + s.interval;
    return s.now >= next ? Decision{Delivery::kPlaceholder, s.now} : Decision{Delivery::kWait, next};
}

}  // namespace virtual_picture
