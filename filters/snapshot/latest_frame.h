// The most recent video frame, kept for snapshots while the stream goes on.
//
// The streaming thread copies every frame in; a snapshot reads the copy
// under the same lock. One buffer is reused, so steady streaming allocates
// nothing; it grows only when a larger format arrives.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "pixel_formats/pixel_format.h"

namespace snapshot {

class LatestFrame {
public:
    using Reader = std::function<void(const pixel_formats::FrameFormat& format, const uint8_t* frame,
                                      size_t size)>;

    // Replaces the kept frame with `size` bytes in `format`. False, keeping
    // the previous frame, when the format is invalid, the data is shorter
    // than the format's frame or memory runs out.
    bool Keep(const pixel_formats::FrameFormat& format, const uint8_t* data, size_t size);

    // Calls `reader` with the kept frame while holding the lock, so the
    // stream waits for as long as the reader takes. False when no frame has
    // been kept yet.
    bool Read(const Reader& reader) const;

    bool HasFrame() const;

private:
    mutable std::mutex mutex_;
    std::vector<uint8_t> bytes_;  // capacity kept across frames
    pixel_formats::FrameFormat format_{};
    size_t size_ = 0;
    bool have_ = false;
};

}  // namespace snapshot
