// An owned byte buffer that reports allocation failure instead of throwing:
// the filter must turn it into an HRESULT, never let it cross a COM call.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>

namespace pixmorph {

class WorkBuffer {
public:
    // Replaces the contents by a new buffer of exactly `bytes`; on failure the
    // buffer is left empty.
    bool Allocate(size_t bytes) {
        Release();
        if (bytes == 0) return true;
        data_.reset(new (std::nothrow) uint8_t[bytes]);
        if (!data_) return false;
        capacity_ = bytes;
        return true;
    }
    // Grows to at least `bytes`; never shrinks. On failure the old buffer stays.
    bool Reserve(size_t bytes) {
        if (bytes <= capacity_) return true;
        std::unique_ptr<uint8_t[]> grown(new (std::nothrow) uint8_t[bytes]);
        if (!grown) return false;
        data_ = std::move(grown);
        capacity_ = bytes;
        return true;
    }
    void Release() {
        data_.reset();
        capacity_ = 0;
    }
    uint8_t* data() const { return data_.get(); }
    size_t capacity() const { return capacity_; }

private:
    std::unique_ptr<uint8_t[]> data_;
    size_t capacity_ = 0;
};

}  // namespace pixmorph
