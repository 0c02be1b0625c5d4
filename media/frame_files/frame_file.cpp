#include <cstring>

#include "media/frame_files/frame_decoders.h"

namespace frame_files {

FrameFileKind DetectFrameFileKind(const uint8_t* data, size_t size) {
    if (data == nullptr) return FrameFileKind::Unknown;
    if (size >= 2 && data[0] == 'B' && data[1] == 'M') return FrameFileKind::Bitmap;
    if (size >= 6 && (std::memcmp(data, "GIF87a", 6) == 0 || std::memcmp(data, "GIF89a", 6) == 0))
        return FrameFileKind::Gif;
    if (size >= 3 && (data[0] == 'F' || data[0] == 'C') && data[1] == 'W' && data[2] == 'S')
        return FrameFileKind::Flash;
    return FrameFileKind::Unknown;
}

DecodeError DecodeFrameFile(const uint8_t* data, size_t size, FrameAnimation* out, const DecodeOptions& options) {
    *out = FrameAnimation{};
    if (size == 0 || data == nullptr) return DecodeError::Empty;
    switch (DetectFrameFileKind(data, size)) {
        case FrameFileKind::Bitmap: return DecodeBitmapFrame(data, size, out, options);
        case FrameFileKind::Gif: return DecodeGifFrames(data, size, out, options);
        case FrameFileKind::Flash: return DecodeFlashFrames(data, size, out, options);
        case FrameFileKind::Unknown: break;
    }
    return DecodeError::Unsupported;
}

}  // namespace frame_files
