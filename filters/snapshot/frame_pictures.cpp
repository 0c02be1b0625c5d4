#include "filters/snapshot/frame_pictures.h"

#include <new>

#include "pixel_formats/convert_frame.h"

namespace snapshot {

namespace {

using pixel_formats::FrameFormat;
using pixel_formats::FrameLayout;
using pixel_formats::PixelFormat;

void Put16(uint8_t* at, uint32_t value) {
    at[0] = static_cast<uint8_t>(value);
    at[1] = static_cast<uint8_t>(value >> 8);
}

void Put32(uint8_t* at, uint32_t value) {
    Put16(at, value & 0xFFFF);
    Put16(at + 2, value >> 16);
}

// BITMAPFILEHEADER and BITMAPINFOHEADER, little-endian whatever the host.
void WriteBmpHeaders(int width, int height, uint32_t imageBytes, uint8_t* out) {
    out[0] = 'B';
    out[1] = 'M';
    Put32(out + 2, static_cast<uint32_t>(kBmpHeaderBytes) + imageBytes);  // bfSize
    Put32(out + 6, 0);                                                    // bfReserved1, 2
    Put32(out + 10, static_cast<uint32_t>(kBmpHeaderBytes));              // bfOffBits
    uint8_t* info = out + 14;
    Put32(info + 0, 40);                              // biSize
    Put32(info + 4, static_cast<uint32_t>(width));    // biWidth
    Put32(info + 8, static_cast<uint32_t>(height));   // biHeight > 0: bottom-up
    Put16(info + 12, 1);                              // biPlanes
    Put16(info + 14, 24);                             // biBitCount
    Put32(info + 16, 0);                              // biCompression: BI_RGB
    Put32(info + 20, imageBytes);                     // biSizeImage
    Put32(info + 24, 0);                              // biXPelsPerMeter
    Put32(info + 28, 0);                              // biYPelsPerMeter
    Put32(info + 32, 0);                              // biClrUsed
    Put32(info + 36, 0);                              // biClrImportant
}

// Converts into an RGB24 frame of the source's picture size; the sign of
// `height` gives the destination's row order as a media type would.
// ConvertFrame itself refuses a source shorter than its frame.
bool ConvertToRgb24(const uint8_t* frame, size_t size, const FrameFormat& format, int width, int height,
                    uint8_t* dst, size_t capacity) {
    const FrameFormat target{PixelFormat::kRgb24, width, height, 0};
    return pixel_formats::ConvertFrame(frame, size, format, dst, capacity, target);
}

bool PictureSize(const FrameFormat& format, int* width, int* height) {
    FrameLayout layout;
    if (!pixel_formats::ComputeFrameLayout(format, &layout)) return false;
    *width = layout.width;
    *height = layout.height;
    return true;
}

}  // namespace

bool EncodeBmp24(const uint8_t* frame, size_t size, const FrameFormat& format, std::vector<uint8_t>* file) {
    int width = 0, height = 0;
    if (!frame || !PictureSize(format, &width, &height)) return false;
    const size_t imageBytes = pixel_formats::FrameSize(PixelFormat::kRgb24, width, height);
    try {
        // Zero-filled, so the padding at the end of each row is defined.
        file->assign(kBmpHeaderBytes + imageBytes, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    WriteBmpHeaders(width, height, static_cast<uint32_t>(imageBytes), file->data());
    return ConvertToRgb24(frame, size, format, width, height, file->data() + kBmpHeaderBytes, imageBytes);
}

bool ToTopDownBgr(const uint8_t* frame, size_t size, const FrameFormat& format, BgrPicture* picture) {
    int width = 0, height = 0;
    if (!frame || !PictureSize(format, &width, &height)) return false;
    picture->width = width;
    picture->height = height;
    picture->stride = pixel_formats::DefaultStride(PixelFormat::kRgb24, width);
    try {
        picture->pixels.assign(picture->stride * static_cast<size_t>(height), 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    // A negative height is a top-down DIB.
    return ConvertToRgb24(frame, size, format, width, -height, picture->pixels.data(), picture->pixels.size());
}

}  // namespace snapshot
