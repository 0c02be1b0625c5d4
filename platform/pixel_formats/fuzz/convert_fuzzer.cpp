// Feeds ConvertFrame formats, sizes, orientations, strides and buffer lengths
// taken from the input; the sanitizers report any access outside the exactly
// sized buffers, and the return value must say whether the frames fit.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "pixel_formats/convert_frame.h"

namespace {

using pixel_formats::FrameFormat;
using pixel_formats::PixelFormat;

class InputReader {
public:
    InputReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    unsigned Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    unsigned Word() { return Byte() | Byte() << 8; }
    const uint8_t* Rest() const { return data_ + pos_; }
    size_t RestSize() const { return size_ - pos_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

// Mostly small frames, sometimes degenerate or huge ones that must be refused.
int Dimension(InputReader& in) {
    const unsigned pick = in.Byte();
    if (pick < 8) return static_cast<int>(in.Word() % 2048) - 16;
    if (pick < 12) return pixel_formats::kMaxDimension - 2 + static_cast<int>(pick % 4);
    return 1 + static_cast<int>(in.Byte() % 80);
}

FrameFormat ReadFormat(InputReader& in, int width, int rows) {
    FrameFormat f{pixel_formats::kAllPixelFormats[in.Byte() % pixel_formats::kPixelFormatCount], width, rows, 0};
    const unsigned flags = in.Byte();
    if (flags & 1) f.height = -rows;
    if (flags & 2) f.stride = static_cast<int>(in.Byte()) * 4 - 64;  // may be below the row's bytes
    return f;
}

// A length near the frame's size: exact, a little short, a little long or arbitrary.
size_t ReadLength(InputReader& in, size_t frame_size) {
    const unsigned pick = in.Byte() % 4;
    const unsigned delta = in.Byte();
    if (pick == 0) return frame_size;
    if (pick == 1) return frame_size > delta ? frame_size - delta : 0;
    if (pick == 2) return frame_size + delta;
    return in.Word();
}

size_t SizeOrZero(const FrameFormat& f) {
    pixel_formats::FrameLayout layout;
    return pixel_formats::ComputeFrameLayout(f, &layout) ? layout.size : 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    InputReader in(data, size);
    const int width = Dimension(in);
    const int rows = Dimension(in);
    const FrameFormat src_format = ReadFormat(in, width, rows);
    FrameFormat dst_format = ReadFormat(in, width, rows);
    if (in.Byte() == 0xFF) dst_format.width += 1;  // mismatched sizes must be refused
    const size_t src_needed = SizeOrZero(src_format), dst_needed = SizeOrZero(dst_format);
    const size_t src_len = ReadLength(in, src_needed);
    const size_t dst_len = ReadLength(in, dst_needed);

    std::vector<uint8_t> src(src_len);
    for (size_t i = 0; i < src_len && in.RestSize() > 0; ++i) src[i] = in.Rest()[i % in.RestSize()];
    std::vector<uint8_t> dst(dst_len);
    const bool converted = pixel_formats::ConvertFrame(src.data(), src.size(), src_format, dst.data(), dst.size(),
                                                       dst_format);

    const bool should_convert = src_needed != 0 && dst_needed != 0 && dst_format.width == src_format.width &&
                                src_len >= src_needed && dst_len >= dst_needed && src_len > 0 && dst_len > 0;
    if (converted != should_convert) std::abort();
    return 0;
}
