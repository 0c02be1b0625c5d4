#include "filters/pixmorph/colorspaceconverter_reference.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "filters/pixmorph/colorspaceconverter_diagnostics.h"
#include "filters/pixmorph/colorspaceconverter_geometry.h"

namespace pixmorph {

namespace {

using detail::InRange;

struct YuvTables {
    uint16_t luma[256];
    uint16_t v_to_r[256];
    uint16_t v_to_g[256];
    uint16_t u_to_g[256];
    uint16_t u_to_b[256];
};
YuvTables g_tables;

uint8_t Clamp(int value) { return static_cast<uint8_t>(value < 0 ? 0 : value > 255 ? 255 : value); }

}  // namespace

void InitYuvTables() {
    // The guard is published only after the tables are filled, so a second
    // thread arriving meanwhile waits instead of reading half-built tables.
    static const bool built = [] {
        for (int i = 0; i < 256; ++i) {
            g_tables.luma[i] = static_cast<uint16_t>(128 * i);
            g_tables.v_to_r[i] = static_cast<uint16_t>(180 * i);
            g_tables.v_to_g[i] = static_cast<uint16_t>(91 * i);
            g_tables.u_to_g[i] = static_cast<uint16_t>(44 * i);
            g_tables.u_to_b[i] = static_cast<uint16_t>(226 * i);
        }
        return true;
    }();
    (void)built;
}

namespace oracle {

size_t Yuy2ToRgb24(const uint8_t* src, size_t src_length, uint8_t* dst, size_t dst_capacity) {
    const YuvTables& t = g_tables;
    size_t m = 0;
    for (size_t n = 0; n + 3 < src_length; n += 4) {
        if (!(m + 5 < dst_capacity)) {
            PIXMORPH_ASSERTION_FAILED("m+5<dwDst");
            break;
        }
        const int u = src[n + 1];
        const int v = src[n + 3];
        for (const int y : {static_cast<int>(src[n]), static_cast<int>(src[n + 2])}) {
            dst[m++] = Clamp((t.luma[y] + t.u_to_b[u] - 28928) >> 7);
            dst[m++] = Clamp((t.luma[y] - t.v_to_g[v] - t.u_to_g[u] + 17264) >> 7);
            dst[m++] = Clamp((t.luma[y] + t.v_to_r[v] - 22906) >> 7);
        }
    }
    return m;
}

bool I420ToYuy2(const uint8_t* src, size_t src_length, int width, int height, uint8_t* dst, size_t dst_capacity) {
    if (!InRange(width) || !InRange(height)) return false;
    const size_t pixels = static_cast<size_t>(width) * height;
    const size_t image = 2 * pixels;
    const detail::I420Layout layout = detail::I420LayoutOf(width, height);
    if (layout.end > src_length || image > dst_capacity) return false;

    for (size_t n = 0; n < pixels; ++n) dst[2 * n] = src[n];

    const uint8_t* u = src + layout.u_offset;
    const uint8_t* v = src + layout.v_offset;
    const size_t pitch = 2 * static_cast<size_t>(width);
    auto put = [&](size_t at, uint8_t value) {
        if (at < image) dst[at] = value;
    };
    size_t p = 1;
    for (int r = 0; r < height; r += 2) {
        for (int x = 0; x < width; x += 2) {
            const uint8_t cu = *u++;
            const uint8_t cv = *v++;
            put(p, cu);
            put(p + pitch, cu);
            put(p + 2, cv);
            put(p + pitch + 2, cv);
            p += 4;
        }
        p += pitch;
    }
    return true;
}

bool UyvyToYuy2(uint8_t* buffer, size_t length, size_t capacity) {
    if (detail::RoundUp4(length) > capacity) return false;
    for (size_t n = 0; n < length; n += 4) {
        std::swap(buffer[n], buffer[n + 1]);
        std::swap(buffer[n + 2], buffer[n + 3]);
    }
    return true;
}

void CopyRows(uint8_t* dst, size_t dst_pitch, const uint8_t* src, size_t src_pitch, int rows) {
    if (rows <= 0) return;
    if (dst_pitch == src_pitch) {
        std::memcpy(dst, src, dst_pitch * rows);
        return;
    }
    const size_t length = std::min(dst_pitch, src_pitch);
    for (int i = 0; i < rows; ++i, dst += dst_pitch, src += src_pitch) std::memcpy(dst, src, length);
}

void FlipRowsInPlace(uint8_t* buffer, ptrdiff_t pitch, int rows) {
    if (!(pitch > 0)) {
        PIXMORPH_ASSERTION_FAILED("nPitch>0");
        return;
    }
    for (int i = 0; i < rows / 2; ++i) {
        uint8_t* top = buffer + i * pitch;
        std::swap_ranges(top, top + pitch, buffer + (rows - 1 - i) * pitch);
    }
}

namespace {

// The checks both output routines share: sizes in range, destination large
// enough for the cleared DIB and the packed pixels, source for its pixels.
bool OutputFits(const uint8_t* src, size_t src_length, uint8_t* dst, size_t dst_capacity, int bits_per_pixel,
                int src_w, int src_h, int dst_w, int dst_h) {
    if (!src || !dst || bits_per_pixel > 32) return false;
    if (!InRange(src_w) || !InRange(src_h) || !InRange(dst_w) || !InRange(dst_h)) return false;
    const size_t bytes = bits_per_pixel >= 24 ? static_cast<size_t>(bits_per_pixel / 8) : 0;
    return DibSize24(dst_w, dst_h) <= dst_capacity && bytes * dst_w * dst_h <= dst_capacity &&
           bytes * src_w * src_h <= src_length;
}

}  // namespace

int ScaleNearest24(const uint8_t* src, size_t src_length, uint8_t* dst, size_t dst_capacity, int bits_per_pixel,
                   int src_w, int src_h, int dst_w, int dst_h) {
    if (!OutputFits(src, src_length, dst, dst_capacity, bits_per_pixel, src_w, src_h, dst_w, dst_h)) return -2;
    const int b = bits_per_pixel / 8;
    const int32_t col_step = ScaleStep(src_w, dst_w, kBuildStepPrecision);
    const int32_t row_step = ScaleStep(src_h, dst_h, kBuildStepPrecision);
    std::memset(dst, 0, DibSize24(dst_w, dst_h));
    if (bits_per_pixel < 24) return -1;
    uint8_t* out = dst;
    for (int y = 0; y < dst_h; ++y) {
        const int32_t sy = (y * row_step) >> 15;
        for (int x = 0; x < dst_w; ++x, out += b) {
            const int32_t sx = (x * col_step) >> 15;
            std::memcpy(out, src + (static_cast<size_t>(sy) * src_w + sx) * b, b);
        }
    }
    return 0;
}

int ReplicatePixels24(const uint8_t* src, size_t src_length, uint8_t* dst, size_t dst_capacity, int bits_per_pixel,
                      int src_w, int src_h, int multiple_x, int multiple_y) {
    if (!InRange(src_w) || !InRange(src_h) || multiple_x < 1 || multiple_y < 1 ||
        multiple_x > kMaxDimension / src_w || multiple_y > kMaxDimension / src_h)
        return -2;
    const int dst_w = src_w * multiple_x;
    const int dst_h = src_h * multiple_y;
    if (!OutputFits(src, src_length, dst, dst_capacity, bits_per_pixel, src_w, src_h, dst_w, dst_h)) return -2;
    std::memset(dst, 0, DibSize24(dst_w, dst_h));
    if (bits_per_pixel < 24) return -1;
    const int b = bits_per_pixel / 8;
    const size_t row_length = static_cast<size_t>(dst_w) * b;
    std::unique_ptr<uint8_t[]> row(new (std::nothrow) uint8_t[row_length]());
    if (!row) return -1;
    uint8_t* out = dst;
    for (int i = 0; i < src_h; ++i) {
        const uint8_t* line = src + static_cast<size_t>(i) * src_w * b;
        for (int j = 0; j < src_w; ++j)
            for (int k = 0; k < multiple_x; ++k)
                std::memcpy(row.get() + (static_cast<size_t>(j) * multiple_x + k) * b, line + j * b, b);
        for (int k = 0; k < multiple_y; ++k, out += row_length) std::memcpy(out, row.get(), row_length);
    }
    return 0;
}

namespace {

// Step 1 of the pipeline: the input as a flipped YUY2 image in the work buffer.
void UnpackYuv(const InputFrame& in, const detail::FrameGeometry& g, const WorkBuffers& work) {
    const size_t pitch = 2 * static_cast<size_t>(g.width);
    switch (in.subtype) {
    case Subtype::kI420:
        // Odd sizes leave chroma positions the walk never reaches; clear them
        // so the picture depends on this frame only.
        if ((g.width | g.rows) & 1) std::memset(work.yuy2, 0, g.yuy2_length);
        I420ToYuy2(in.data, in.length, g.width, g.rows, work.yuy2, work.yuy2_capacity);
        break;
    case Subtype::kUyvy: {
        // Bytes past the image (up to the group that ends it) are never used.
        const size_t length = std::min(in.length, detail::RoundUp4(g.yuy2_length));
        std::memcpy(work.yuy2, in.data, length);
        UyvyToYuy2(work.yuy2, length, work.yuy2_capacity);
        break;
    }
    default: CopyRows(work.yuy2, pitch, in.data, in.length / g.rows, g.rows); break;
    }
    FlipRowsInPlace(work.yuy2, static_cast<ptrdiff_t>(pitch), g.rows);
}

}  // namespace

Status ConvertFrame(const InputFrame& in, const WorkBuffers& work, const OutputFrame& out) {
    detail::FrameGeometry g;
    if (const Status s = detail::CheckFrame(in, work, out, &g); s != Status::kOk) return s;
    const size_t pixels = static_cast<size_t>(g.width) * g.rows;
    if (in.subtype == Subtype::kRgb24) {
        std::memcpy(work.rgb, in.data, std::min(g.rgb_size, in.length));
    } else {
        UnpackYuv(in, g, work);
        Yuy2ToRgb24(work.yuy2, g.yuy2_length, work.rgb, work.rgb_capacity);
        // An odd pixel count leaves the last pixel without a pair: black.
        if (pixels & 1) std::memset(work.rgb + 3 * (pixels - 1), 0, 3);
    }
    const int result =
        out.mode == ScaleMode::kMultiple
            ? ReplicatePixels24(work.rgb, work.rgb_capacity, out.data, out.capacity, 24, g.width, g.rows,
                                out.multiple_x, out.multiple_y)
            : ScaleNearest24(work.rgb, work.rgb_capacity, out.data, out.capacity, 24, g.width, g.rows,
                             out.width, out.height);
    return result == 0 ? Status::kOk : Status::kNoMemory;
}

}  // namespace oracle
}  // namespace pixmorph
