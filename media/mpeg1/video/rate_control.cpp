#include "media/mpeg1/video/rate_control.h"

#include <algorithm>

namespace mpeg::video {

namespace {

struct QualityLevel {
    int qscale;
    double bits_per_pixel;  // ceiling per picture
    double min_rate;        // bits/s: small pictures still need room for an I picture
};
constexpr QualityLevel kLevels[3] = {{10, 0.15, 150e3}, {5, 0.40, 300e3}, {3, 1.0, 600e3}};
constexpr double kBufferSeconds = 1.0;
constexpr int kMaxQscale = 31;

}  // namespace

void RateControl::Configure(int quality, int width, int height, double picture_rate) {
    const QualityLevel& level = kLevels[std::clamp(quality, 0, 2)];
    base_qscale_ = level.qscale;
    const double rate = std::max(level.bits_per_pixel * width * height * picture_rate, level.min_rate);
    bit_rate_ = static_cast<int>(std::min(rate, 100e6));
    buffer_bits_ = static_cast<int>(bit_rate_ * kBufferSeconds);
    drain_per_picture_ = bit_rate_ / picture_rate;
    fullness_ = 0;
}

int RateControl::PictureQscale() const {
    const double fill = std::clamp(fullness_ / buffer_bits_, 0.0, 1.0);
    return std::min(kMaxQscale, base_qscale_ + static_cast<int>(fill * (kMaxQscale - base_qscale_) + 0.5));
}

int RateControl::RowQscale(int picture_qscale, size_t picture_bits_so_far, int rows_done, int rows_total) const {
    if (rows_done == 0) return picture_qscale;
    // Room left in the bucket for this picture, spread over its rows.
    const double room = std::max(buffer_bits_ - fullness_, drain_per_picture_);
    const double projected = static_cast<double>(picture_bits_so_far) * rows_total / rows_done;
    if (projected <= room * 0.5) return picture_qscale;
    const double over = projected / (room * 0.5);
    return std::min(kMaxQscale, static_cast<int>(picture_qscale * over + 0.5));
}

void RateControl::PictureDone(size_t bits) {
    fullness_ = std::max(0.0, fullness_ + static_cast<double>(bits) - drain_per_picture_);
}

}  // namespace mpeg::video
