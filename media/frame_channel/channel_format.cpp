#include "media/frame_channel/channel_format.h"

#include "media/frame_channel/channel_layout.h"

namespace frame_channel {

using pixel_formats::PixelFormat;

namespace {

struct CodePair {
    PixelFormat format;
    uint32_t code;
};

constexpr CodePair kCodes[] = {
    {PixelFormat::kRgb24, kFormatRgb24}, {PixelFormat::kYuy2, kFormatYuy2}, {PixelFormat::kI420, kFormatI420},
    {PixelFormat::kRgb32, kFormatRgb32}, {PixelFormat::kUyvy, kFormatUyvy}, {PixelFormat::kYv12, kFormatYv12},
};

}  // namespace

uint32_t ToChannelFormat(PixelFormat format) {
    for (const CodePair& pair : kCodes) {
        if (pair.format == format) return pair.code;
    }
    return kFormatNone;
}

bool FromChannelFormat(uint32_t code, PixelFormat* format) {
    for (const CodePair& pair : kCodes) {
        if (pair.code == code) {
            *format = pair.format;
            return true;
        }
    }
    return false;
}

size_t FrameBytes(const pixel_formats::FrameFormat& format) {
    if (ToChannelFormat(format.format) == kFormatNone) return 0;
    pixel_formats::FrameLayout layout;
    if (!pixel_formats::ComputeFrameLayout(format, &layout)) return 0;
    return layout.size;
}

}  // namespace frame_channel
