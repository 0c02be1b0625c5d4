#include "media/mpeg1/mux/access_unit_scanner.h"

namespace mpeg::mux {

namespace {

// 90 kHz ticks per picture by picture_rate code 1..8.
constexpr int64_t kPictureTicks[9] = {3000, 3754, 3750, 3600, 3003, 3000, 1800, 1502, 1500};
constexpr int kLayer2Kbps[15] = {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384};
constexpr int kLayer1Kbps[15] = {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448};
constexpr int kLayer3Kbps[15] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
constexpr int kSampleRates[3] = {44100, 48000, 32000};

}  // namespace

void VideoScanner::Scan(const uint8_t* data, size_t size, uint64_t position, std::vector<AccessUnitStart>* starts) {
    for (size_t i = 0; i < size; ++i) {
        const uint64_t at = position + i;
        if (at == rate_byte_at_) {
            const int code = data[i] & 0x0F;
            if (code >= 1 && code <= 8) duration_ = kPictureTicks[code];
            rate_byte_at_ = UINT64_MAX;
        }
        window_ = (window_ << 8) | data[i];
        if ((window_ & 0xFFFFFF00u) != 0x00000100u) continue;
        const uint8_t code = static_cast<uint8_t>(window_);
        if (code == 0x00) starts->push_back({at - 3});
        if (code == 0xB3) rate_byte_at_ = at + 4;  // after 12+12 bits of size and 4 of aspect
    }
}

int AudioScanner::FrameLength(const uint8_t h[4]) {
    if (h[0] != 0xFF || (h[1] & 0xF0) != 0xF0) return 0;
    const int layer = 4 - ((h[1] >> 1) & 3);  // 1, 2 or 3; 4 = reserved
    const int rate_index = h[2] >> 4, fs_index = (h[2] >> 2) & 3, padding = (h[2] >> 1) & 1;
    if (layer == 4 || rate_index == 0 || rate_index == 15 || fs_index == 3) return 0;
    const int fs = kSampleRates[fs_index];
    duration_ = (layer == 1 ? 384 : 1152) * 90000LL / fs;
    if (layer == 1) return (12 * kLayer1Kbps[rate_index] * 1000 / fs + padding) * 4;
    const int kbps = layer == 2 ? kLayer2Kbps[rate_index] : kLayer3Kbps[rate_index];
    return 144 * kbps * 1000 / fs + padding;
}

void AudioScanner::Scan(const uint8_t* data, size_t size, uint64_t position, std::vector<AccessUnitStart>* starts) {
    for (size_t i = 0; i < size; ++i) {
        const uint64_t at = position + i;
        if (!synced_) {
            // A syncword: 0xFF then a byte with the top four bits set.
            if (previous_ == 0xFF && (data[i] & 0xF0) == 0xF0) {
                synced_ = true;
                next_frame_ = at - 1;
                header_[0] = 0xFF;
                header_size_ = 1;
            }
            previous_ = data[i];
            if (!synced_) continue;
        }
        if (at < next_frame_) continue;
        header_[header_size_++] = data[i];
        if (header_size_ < 4) continue;
        header_size_ = 0;
        const int length = FrameLength(header_);
        const uint64_t frame_start = at - 3;
        if (length < 4) {
            synced_ = false;
            previous_ = data[i];
            continue;
        }
        starts->push_back({frame_start});
        next_frame_ = frame_start + static_cast<uint64_t>(length);
    }
}

}  // namespace mpeg::mux
