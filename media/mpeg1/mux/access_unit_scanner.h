// Finds where access units (coded pictures, audio frames) begin in an
// elementary stream that arrives in chunks of any size, and how long each
// lasts, so the multiplexer can place time stamps on the right packets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace mpeg::mux {

struct AccessUnitStart {
    uint64_t position;  // byte offset in the elementary stream
};

class AccessUnitScanner {
public:
    virtual ~AccessUnitScanner() = default;
    // Appends to `starts` the access units that begin in this chunk
    // (`position` is the stream offset of data[0]).
    virtual void Scan(const uint8_t* data, size_t size, uint64_t position, std::vector<AccessUnitStart>* starts) = 0;
    // Length of one access unit in 90 kHz ticks, as far as the stream has told.
    virtual int64_t UnitDuration() const = 0;
};

// MPEG-1 video: a picture starts at its picture_start_code; the sequence
// header's picture_rate gives the duration.
class VideoScanner : public AccessUnitScanner {
public:
    void Scan(const uint8_t* data, size_t size, uint64_t position, std::vector<AccessUnitStart>* starts) override;
    int64_t UnitDuration() const override { return duration_; }

private:
    uint32_t window_ = 0xFFFFFFFF;  // last four bytes seen
    uint64_t rate_byte_at_ = UINT64_MAX;  // where a sequence header's rate nibble will be
    int64_t duration_ = 3000;
};

// MPEG-1 audio: frames follow each other, each header giving its length;
// the walker resynchronises on the next syncword after damaged data.
class AudioScanner : public AccessUnitScanner {
public:
    void Scan(const uint8_t* data, size_t size, uint64_t position, std::vector<AccessUnitStart>* starts) override;
    int64_t UnitDuration() const override { return duration_; }

private:
    // Frame length in bytes from a 4-byte header, 0 if it is not one.
    int FrameLength(const uint8_t header[4]);

    uint64_t next_frame_ = 0;  // stream offset where the next header is due
    uint8_t header_[4] = {};
    int header_size_ = 0;
    bool synced_ = true;
    uint8_t previous_ = 0;     // last byte, while hunting for a syncword
    int64_t duration_ = 2351;  // 1152 samples at 44.1 kHz
};

}  // namespace mpeg::mux
