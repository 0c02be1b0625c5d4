// Frame formats of the video path and the memory layout DirectShow gives them.
//
// Layout follows the DIB rules a VIDEOINFOHEADER implies:
//  - RGB rows are padded to 4 bytes; a positive height means a bottom-up DIB
//    (first row in memory is the bottom of the picture), a negative height a
//    top-down one.
//  - YUY2/UYVY rows hold whole 2-pixel groups: ceil(width/2)*4 bytes.
//  - I420/YV12 are three tightly packed top-down planes: Y of width x height,
//    then two chroma planes of ceil(width/2) x ceil(height/2) (U then V for
//    I420, V then U for YV12).
//  - YUV frames are top-down whatever the sign of the height.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pixel_formats {

enum class PixelFormat : uint8_t {
    kYuy2,    // Y0 U Y1 V
    kUyvy,    // U Y0 V Y1
    kI420,    // planar 4:2:0, Y U V
    kYv12,    // planar 4:2:0, Y V U
    kRgb24,   // B G R
    kRgb32,   // B G R X (X written as 255)
    kRgb565,  // little-endian 16 bits: R5 G6 B5 from the top bit down
    kRgb555,  // little-endian 16 bits: 0 R5 G5 B5
};

inline constexpr PixelFormat kAllPixelFormats[] = {
    PixelFormat::kYuy2,  PixelFormat::kUyvy,  PixelFormat::kI420,   PixelFormat::kYv12,
    PixelFormat::kRgb24, PixelFormat::kRgb32, PixelFormat::kRgb565, PixelFormat::kRgb555,
};
inline constexpr int kPixelFormatCount = sizeof(kAllPixelFormats) / sizeof(kAllPixelFormats[0]);

// How samples are arranged, which decides the conversion route.
enum class FormatFamily : uint8_t { kRgb, kPacked422, kPlanar420 };

FormatFamily FamilyOf(PixelFormat format);
inline bool IsRgb(PixelFormat format) { return FamilyOf(format) == FormatFamily::kRgb; }
// The biBitCount a BITMAPINFOHEADER carries for the format.
int BitsPerPixel(PixelFormat format);
const char* PixelFormatName(PixelFormat format);

// Largest width or |height| accepted: keeps every frame size well inside a
// 32-bit size_t, so the Windows build cannot overflow either.
inline constexpr int kMaxDimension = 16384;

// One frame's format as a media type describes it.
struct FrameFormat {
    PixelFormat format;
    int width;
    int height;      // as BITMAPINFOHEADER::biHeight; only its sign matters beyond size for RGB
    int stride = 0;  // bytes per row of the first plane; 0 = the default for the width
};

struct PlaneLayout {
    size_t offset = 0;      // from the start of the frame
    size_t stride = 0;      // bytes from one row in memory to the next
    size_t row_bytes = 0;   // bytes of a row that carry pixels
    int rows = 0;
};

struct FrameLayout {
    int width = 0;
    int height = 0;          // always positive
    bool bottom_up = false;  // memory row 0 holds the bottom picture row
    int plane_count = 0;     // 1 for packed formats, 3 for planar (Y, U, V order, whatever the memory order)
    PlaneLayout planes[3];
    size_t size = 0;         // bytes of the whole frame: each plane's stride x rows, as biSizeImage
};

// Fills *layout; false for a bad size or a stride below the row's pixel bytes.
bool ComputeFrameLayout(const FrameFormat& format, FrameLayout* layout);

// Bytes of the first plane's row at the default stride (the DIB stride for RGB).
size_t DefaultStride(PixelFormat format, int width);

// biSizeImage for the format at the default stride; 0 for a bad size.
size_t FrameSize(PixelFormat format, int width, int height);

}  // namespace pixel_formats
