#include "filters/snapshot/latest_frame.h"

#include <cstring>
#include <new>

namespace snapshot {

bool LatestFrame::Keep(const pixel_formats::FrameFormat& format, const uint8_t* data, size_t size) {
    pixel_formats::FrameLayout layout;
    if (!data || !pixel_formats::ComputeFrameLayout(format, &layout) || size < layout.size) return false;
    std::lock_guard<std::mutex> lock(mutex_);
    if (bytes_.size() < layout.size) {
        try {
            bytes_.resize(layout.size);
        } catch (const std::bad_alloc&) {
            return false;
        }
    }
    std::memcpy(bytes_.data(), data, layout.size);
    format_ = format;
    size_ = layout.size;
    have_ = true;
    return true;
}

bool LatestFrame::Read(const Reader& reader) const {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!have_) return false;
    reader(format_, bytes_.data(), size_);
    return true;
}

bool LatestFrame::HasFrame() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return have_;
}

}  // namespace snapshot
