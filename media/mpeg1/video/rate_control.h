// Quality-driven quantiser choice with a bit-rate ceiling.
//
// Each quality level has a base quantiser that sets the look of the picture
// and a ceiling in bits per pixel. A leaky bucket drains at the ceiling rate;
// while pictures stay under it the base quantiser holds, and as the bucket
// fills the quantiser rises toward 31, so busy scenes cost detail instead of
// growing the file without bound.
#pragma once

#include <cstddef>

namespace mpeg::video {

class RateControl {
public:
    void Configure(int quality, int width, int height, double picture_rate);

    int bit_rate() const { return bit_rate_; }           // the ceiling, bits/s
    int buffer_bits() const { return buffer_bits_; }     // bucket size
    int base_qscale() const { return base_qscale_; }

    int PictureQscale() const;
    // Coarser rows once a picture runs far past its share of the bucket.
    int RowQscale(int picture_qscale, size_t picture_bits_so_far, int rows_done, int rows_total) const;
    void PictureDone(size_t bits);

private:
    int base_qscale_ = 6;
    int bit_rate_ = 0;
    int buffer_bits_ = 0;
    double drain_per_picture_ = 0;
    double fullness_ = 0;
};

}  // namespace mpeg::video
