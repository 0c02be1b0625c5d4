#include "pixel_formats/fast_rows.h"

#include "pixel_formats/yuv_math.h"
#include "pixel_formats/yuv_rows.h"

namespace pixel_formats {
namespace detail {
namespace {

// Offsets of Y0, U, Y1, V in a packed group, fixed at compile time.
template <bool kUyvy>
struct Order {
    static constexpr int y0 = kUyvy ? 1 : 0;
    static constexpr int u = kUyvy ? 0 : 1;
    static constexpr int y1 = kUyvy ? 3 : 2;
    static constexpr int v = kUyvy ? 2 : 3;
};

template <int kBytes>
inline void PutBgr(int y, const ChromaTerms& c, uint8_t* dst) {
    YuvToBgr(y, c, dst);
    if (kBytes == 4) dst[3] = 255;
}

template <bool kUyvy, int kBytes>
void PackedToRgbRow(const uint8_t* src, uint8_t* dst, int width) {
    using O = Order<kUyvy>;
    const int pairs = width / 2;
    for (int i = 0; i < pairs; ++i, src += 4, dst += 2 * kBytes) {
        const ChromaTerms c = MakeChromaTerms(src[O::u], src[O::v]);
        PutBgr<kBytes>(src[O::y0], c, dst);
        PutBgr<kBytes>(src[O::y1], c, dst + kBytes);
    }
    if (width & 1) PutBgr<kBytes>(src[O::y0], MakeChromaTerms(src[O::u], src[O::v]), dst);
}

template <int kBytes>
void PlanarToRgbRow(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* dst, int width) {
    const int pairs = width / 2;
    for (int i = 0; i < pairs; ++i, dst += 2 * kBytes) {
        const ChromaTerms c = MakeChromaTerms(u[i], v[i]);
        PutBgr<kBytes>(y[2 * i], c, dst);
        PutBgr<kBytes>(y[2 * i + 1], c, dst + kBytes);
    }
    if (width & 1) PutBgr<kBytes>(y[width - 1], MakeChromaTerms(u[pairs], v[pairs]), dst);
}

inline uint8_t LumaOf(const uint8_t* bgr) { return RgbToY(bgr[2], bgr[1], bgr[0]); }

// Chroma of `count` B G R pixels whose channel sums are given.
inline void ChromaOfSums(int b, int g, int r, int count, uint8_t* u, uint8_t* v) {
    b = MeanOf(b, count);
    g = MeanOf(g, count);
    r = MeanOf(r, count);
    *u = RgbToU(r, g, b);
    *v = RgbToV(r, g, b);
}

template <bool kUyvy>
void Rgb24ToPackedRow(const uint8_t* src, uint8_t* dst, int width) {
    using O = Order<kUyvy>;
    const int pairs = width / 2;
    for (int i = 0; i < pairs; ++i, src += 6, dst += 4) {
        dst[O::y0] = LumaOf(src);
        dst[O::y1] = LumaOf(src + 3);
        ChromaOfSums(src[0] + src[3], src[1] + src[4], src[2] + src[5], 2, &dst[O::u], &dst[O::v]);
    }
    if (width & 1) {
        dst[O::y0] = dst[O::y1] = LumaOf(src);
        ChromaOfSums(src[0], src[1], src[2], 1, &dst[O::u], &dst[O::v]);
    }
}

template <bool kUyvy>
void PackedToI420Rows(const uint8_t* src0, const uint8_t* src1, uint8_t* y0, uint8_t* y1, uint8_t* u,
                      uint8_t* v, int width) {
    using O = Order<kUyvy>;
    const int groups = (width + 1) / 2;
    for (int i = 0; i < groups; ++i) {
        const uint8_t* a = src0 + 4 * i;
        const bool second = 2 * i + 1 < width;
        y0[2 * i] = a[O::y0];
        if (second) y0[2 * i + 1] = a[O::y1];
        if (!src1) {
            u[i] = a[O::u];
            v[i] = a[O::v];
            continue;
        }
        const uint8_t* b = src1 + 4 * i;
        y1[2 * i] = b[O::y0];
        if (second) y1[2 * i + 1] = b[O::y1];
        u[i] = Average2(a[O::u], b[O::u]);
        v[i] = Average2(a[O::v], b[O::v]);
    }
}

}  // namespace

void Yuy2ToRgb24Row(const uint8_t* src, uint8_t* dst, int width) { PackedToRgbRow<false, 3>(src, dst, width); }
void Yuy2ToRgb32Row(const uint8_t* src, uint8_t* dst, int width) { PackedToRgbRow<false, 4>(src, dst, width); }
void UyvyToRgb24Row(const uint8_t* src, uint8_t* dst, int width) { PackedToRgbRow<true, 3>(src, dst, width); }
void UyvyToRgb32Row(const uint8_t* src, uint8_t* dst, int width) { PackedToRgbRow<true, 4>(src, dst, width); }

void I420ToRgb24Row(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* dst, int width) {
    PlanarToRgbRow<3>(y, u, v, dst, width);
}
void I420ToRgb32Row(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* dst, int width) {
    PlanarToRgbRow<4>(y, u, v, dst, width);
}

void Rgb24ToPacked422Row(const uint8_t* src, uint8_t* dst, int width, bool uyvy) {
    if (uyvy) {
        Rgb24ToPackedRow<true>(src, dst, width);
    } else {
        Rgb24ToPackedRow<false>(src, dst, width);
    }
}

void Rgb24ToI420Rows(const uint8_t* src0, const uint8_t* src1, uint8_t* y0, uint8_t* y1, uint8_t* u,
                     uint8_t* v, int width) {
    const int pairs = width / 2;
    for (int i = 0; i < pairs; ++i) {
        const uint8_t* a = src0 + 6 * i;
        y0[2 * i] = LumaOf(a);
        y0[2 * i + 1] = LumaOf(a + 3);
        if (!src1) {
            ChromaOfSums(a[0] + a[3], a[1] + a[4], a[2] + a[5], 2, &u[i], &v[i]);
            continue;
        }
        const uint8_t* b = src1 + 6 * i;
        y1[2 * i] = LumaOf(b);
        y1[2 * i + 1] = LumaOf(b + 3);
        ChromaOfSums(a[0] + a[3] + b[0] + b[3], a[1] + a[4] + b[1] + b[4], a[2] + a[5] + b[2] + b[5], 4,
                     &u[i], &v[i]);
    }
    if (width & 1) {
        const uint8_t* a = src0 + 3 * (width - 1);
        y0[width - 1] = LumaOf(a);
        if (!src1) {
            ChromaOfSums(a[0], a[1], a[2], 1, &u[pairs], &v[pairs]);
            return;
        }
        const uint8_t* b = src1 + 3 * (width - 1);
        y1[width - 1] = LumaOf(b);
        ChromaOfSums(a[0] + b[0], a[1] + b[1], a[2] + b[2], 2, &u[pairs], &v[pairs]);
    }
}

void Packed422ToI420Rows(const uint8_t* src0, const uint8_t* src1, uint8_t* y0, uint8_t* y1, uint8_t* u,
                         uint8_t* v, int width, bool uyvy) {
    if (uyvy) {
        PackedToI420Rows<true>(src0, src1, y0, y1, u, v, width);
    } else {
        PackedToI420Rows<false>(src0, src1, y0, y1, u, v, width);
    }
}

void I420ToPacked422Row(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* dst, int width,
                        bool uyvy) {
    PackPacked422Row(OrderOf(uyvy ? PixelFormat::kUyvy : PixelFormat::kYuy2), y, u, v, dst, width);
}

void SwapPacked422Row(const uint8_t* src, uint8_t* dst, int width, bool to_uyvy) {
    const int groups = (width + 1) / 2;
    for (int i = 0; i < groups; ++i, src += 4, dst += 4) {
        const uint8_t s0 = src[0], s1 = src[1], s2 = src[2], s3 = src[3];
        dst[0] = s1;
        dst[1] = s0;
        dst[2] = s3;
        dst[3] = s2;
    }
    // An odd width's unused luma slot repeats the last pixel, as the packers write it.
    if (width & 1) {
        uint8_t* last = dst - 4;
        if (to_uyvy) {
            last[3] = last[1];
        } else {
            last[2] = last[0];
        }
    }
}

}  // namespace detail
}  // namespace pixel_formats
