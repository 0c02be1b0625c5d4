#include "media/mpeg1/mux/stream_queue.h"

namespace mpeg::mux {

void StreamQueue::Append(const uint8_t* data, size_t size, int64_t pts) {
    found_.clear();
    scanner_->Scan(data, size, appended_, &found_);
    bool stamped = false;
    for (const AccessUnitStart& start : found_) {
        int64_t t;
        if (pending_pts_ >= 0 && start.position >= pending_begin_ && start.position < pending_end_) {
            t = pending_pts_;
        } else if (pts >= 0 && !stamped && start.position >= appended_) {
            t = pts;
            stamped = true;
        } else {
            t = last_pts_ < 0 ? 0 : last_pts_ + scanner_->UnitDuration();
        }
        pending_pts_ = -1;
        units_.push_back({start.position, t});
        last_pts_ = t;
    }
    if (pts >= 0 && !stamped) {
        pending_pts_ = pts;
        pending_begin_ = appended_;
        pending_end_ = appended_ + size;
    }
    bytes_.insert(bytes_.end(), data, data + size);
    appended_ += size;
}

int64_t StreamQueue::HeadTime() const {
    // units_[0] may have started before the head; the head's unit is the last
    // one at or before it.
    const TimedUnit* current = nullptr;
    for (const TimedUnit& u : units_) {
        if (u.position > consumed_) break;
        current = &u;
    }
    if (current != nullptr) return current->pts;
    return units_.empty() ? -1 : units_.front().pts;
}

const TimedUnit* StreamQueue::FirstUnitIn(size_t size) const {
    for (const TimedUnit& u : units_) {
        if (u.position < consumed_) continue;
        return u.position < consumed_ + size ? &u : nullptr;
    }
    return nullptr;
}

void StreamQueue::Consume(size_t size) {
    head_ += size;
    consumed_ += size;
    // Drop units that ended before the head (the next one starts at or before it).
    while (units_.size() >= 2 && units_[1].position <= consumed_) units_.pop_front();
    if (head_ > 65536 && head_ * 2 > bytes_.size()) {
        bytes_.erase(bytes_.begin(), bytes_.begin() + static_cast<std::ptrdiff_t>(head_));
        head_ = 0;
    }
}

}  // namespace mpeg::mux
