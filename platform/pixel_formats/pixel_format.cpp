#include "pixel_formats/pixel_format.h"

namespace pixel_formats {

FormatFamily FamilyOf(PixelFormat format) {
    switch (format) {
        case PixelFormat::kYuy2:
        case PixelFormat::kUyvy:
            return FormatFamily::kPacked422;
        case PixelFormat::kI420:
        case PixelFormat::kYv12:
            return FormatFamily::kPlanar420;
        default:
            return FormatFamily::kRgb;
    }
}

int BitsPerPixel(PixelFormat format) {
    switch (format) {
        case PixelFormat::kI420:
        case PixelFormat::kYv12:
            return 12;
        case PixelFormat::kRgb24:
            return 24;
        case PixelFormat::kRgb32:
            return 32;
        default:
            return 16;
    }
}

const char* PixelFormatName(PixelFormat format) {
    switch (format) {
        case PixelFormat::kYuy2: return "YUY2";
        case PixelFormat::kUyvy: return "UYVY";
        case PixelFormat::kI420: return "I420";
        case PixelFormat::kYv12: return "YV12";
        case PixelFormat::kRgb24: return "RGB24";
        case PixelFormat::kRgb32: return "RGB32";
        case PixelFormat::kRgb565: return "RGB565";
        case PixelFormat::kRgb555: return "RGB555";
    }
    return "?";
}

namespace {

bool ValidSize(int width, int height) {
    const int rows = height < 0 ? -height : height;
    return width > 0 && width <= kMaxDimension && rows > 0 && rows <= kMaxDimension;
}

size_t RowPixelBytes(PixelFormat format, int width) {
    switch (FamilyOf(format)) {
        case FormatFamily::kRgb:
            return static_cast<size_t>(width) * BitsPerPixel(format) / 8;
        case FormatFamily::kPacked422:
            return static_cast<size_t>((width + 1) / 2) * 4;
        case FormatFamily::kPlanar420:
            break;
    }
    return static_cast<size_t>(width);
}

}  // namespace

size_t DefaultStride(PixelFormat format, int width) {
    if (width <= 0 || width > kMaxDimension) return 0;
    if (IsRgb(format)) {
        return (static_cast<size_t>(width) * BitsPerPixel(format) + 31) / 32 * 4;
    }
    return RowPixelBytes(format, width);
}

bool ComputeFrameLayout(const FrameFormat& format, FrameLayout* layout) {
    if (!ValidSize(format.width, format.height)) return false;
    const int rows = format.height < 0 ? -format.height : format.height;
    const size_t row_bytes = RowPixelBytes(format.format, format.width);
    const size_t stride = format.stride == 0 ? DefaultStride(format.format, format.width)
                                             : static_cast<size_t>(format.stride);
    if (format.stride < 0 || stride < row_bytes || stride > 4 * static_cast<size_t>(kMaxDimension)) {
        return false;
    }

    FrameLayout out;
    out.width = format.width;
    out.height = rows;
    out.bottom_up = IsRgb(format.format) && format.height > 0;
    out.planes[0] = {0, stride, row_bytes, rows};
    out.size = stride * rows;
    out.plane_count = 1;
    if (FamilyOf(format.format) == FormatFamily::kPlanar420) {
        // Chroma rows follow the luma stride halved, as decoders that widen
        // biWidth for alignment expect.
        const size_t chroma_stride = (stride + 1) / 2;
        const size_t chroma_bytes = static_cast<size_t>((format.width + 1) / 2);
        const int chroma_rows = (rows + 1) / 2;
        const size_t chroma_size = chroma_stride * chroma_rows;
        PlaneLayout first{out.size, chroma_stride, chroma_bytes, chroma_rows};
        PlaneLayout second{out.size + chroma_size, chroma_stride, chroma_bytes, chroma_rows};
        const bool yv12 = format.format == PixelFormat::kYv12;
        out.planes[1] = yv12 ? second : first;
        out.planes[2] = yv12 ? first : second;
        out.size += 2 * chroma_size;
        out.plane_count = 3;
    }
    *layout = out;
    return true;
}

size_t FrameSize(PixelFormat format, int width, int height) {
    FrameLayout layout;
    return ComputeFrameLayout({format, width, height, 0}, &layout) ? layout.size : 0;
}

}  // namespace pixel_formats
