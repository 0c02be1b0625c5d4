// One elementary stream waiting to be multiplexed: its bytes, where its
// access units begin and their time stamps (90 kHz, already offset).
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "media/mpeg1/mux/access_unit_scanner.h"

namespace mpeg::mux {

struct TimedUnit {
    uint64_t position;
    int64_t pts;  // 90 kHz
};

class StreamQueue {
public:
    explicit StreamQueue(std::unique_ptr<AccessUnitScanner> scanner) : scanner_(std::move(scanner)) {}

    // `pts` (90 kHz) belongs to the first access unit beginning in `data`;
    // negative means none was given, and units without one follow on from
    // the one before.
    void Append(const uint8_t* data, size_t size, int64_t pts);

    size_t queued() const { return bytes_.size() - head_; }
    const uint8_t* head() const { return bytes_.data() + head_; }
    uint64_t head_position() const { return consumed_; }
    // Time of the unit the next byte belongs to (or of the next unit, for
    // bytes before the first one); -1 if no unit is known yet.
    int64_t HeadTime() const;
    // Time of the latest unit queued; -1 if none.
    int64_t TailTime() const { return units_.empty() ? -1 : units_.back().pts; }
    // The first unit starting in the next `size` bytes, if any.
    const TimedUnit* FirstUnitIn(size_t size) const;
    void Consume(size_t size);

    bool ended = false;

private:
    std::unique_ptr<AccessUnitScanner> scanner_;
    std::vector<uint8_t> bytes_;
    size_t head_ = 0;           // index in bytes_ of the next byte to send
    uint64_t consumed_ = 0;     // stream offset of that byte
    uint64_t appended_ = 0;     // stream offset after the last byte
    std::deque<TimedUnit> units_;  // those not wholly sent
    int64_t last_pts_ = -1;
    // A chunk's time that found no unit starting in the chunk: a start code
    // split across chunks is only recognised in the next one, but its unit
    // began (and takes its time from) here.
    int64_t pending_pts_ = -1;
    uint64_t pending_begin_ = 0, pending_end_ = 0;
    std::vector<AccessUnitStart> found_;
};

}  // namespace mpeg::mux
