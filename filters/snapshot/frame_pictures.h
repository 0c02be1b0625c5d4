// A video frame of any pixel_formats format turned into the pixels a still
// picture needs: a whole 24-bit BMP file, or top-down BGR rows for an image
// encoder. Both keep the picture's size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "pixel_formats/pixel_format.h"

namespace snapshot {

inline constexpr size_t kBmpHeaderBytes = 14 + 40;  // BITMAPFILEHEADER + BITMAPINFOHEADER

// A bottom-up 24-bit BMP: file header, info header, rows padded to 4 bytes.
// False when the format is invalid, `size` is short of the frame or memory
// runs out; *file is then unspecified.
bool EncodeBmp24(const uint8_t* frame, size_t size, const pixel_formats::FrameFormat& format,
                 std::vector<uint8_t>* file);

struct BgrPicture {
    int width = 0;
    int height = 0;
    size_t stride = 0;  // bytes per row, padded to 4 as a DIB's
    std::vector<uint8_t> pixels;  // rows from the top of the picture
};

bool ToTopDownBgr(const uint8_t* frame, size_t size, const pixel_formats::FrameFormat& format,
                  BgrPicture* picture);

}  // namespace snapshot
