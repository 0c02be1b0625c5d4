// Bounds-checked little-endian reading of untrusted bytes. A read past the
// end yields zeros and clears ok(), so a parser checks once after a group of
// reads instead of after each one.
#pragma once

#include <cstddef>
#include <cstdint>

namespace frame_files {

class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool ok() const { return ok_; }
    size_t position() const { return pos_; }
    size_t remaining() const { return size_ - pos_; }
    bool AtEnd() const { return pos_ == size_; }

    uint8_t U8() {
        if (!Need(1)) return 0;
        return data_[pos_++];
    }
    uint16_t U16() {
        if (!Need(2)) return 0;
        const uint16_t v = static_cast<uint16_t>(data_[pos_] | data_[pos_ + 1] << 8);
        pos_ += 2;
        return v;
    }
    uint32_t U32() {
        if (!Need(4)) return 0;
        const uint32_t v = static_cast<uint32_t>(data_[pos_]) | static_cast<uint32_t>(data_[pos_ + 1]) << 8 |
                           static_cast<uint32_t>(data_[pos_ + 2]) << 16 |
                           static_cast<uint32_t>(data_[pos_ + 3]) << 24;
        pos_ += 4;
        return v;
    }
    int32_t S32() { return static_cast<int32_t>(U32()); }
    // A pointer to the next n bytes, or null (and !ok()) when fewer remain.
    const uint8_t* Take(size_t n) {
        if (!Need(n)) return nullptr;
        const uint8_t* p = data_ + pos_;
        pos_ += n;
        return p;
    }
    bool Skip(size_t n) { return Take(n) != nullptr || n == 0; }

private:
    bool Need(size_t n) {
        if (!ok_ || n > size_ - pos_) {
            ok_ = false;
            return false;
        }
        return true;
    }

    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
    bool ok_ = true;
};

}  // namespace frame_files
