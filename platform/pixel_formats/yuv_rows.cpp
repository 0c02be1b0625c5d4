#include "pixel_formats/yuv_rows.h"

#include "pixel_formats/yuv_math.h"

namespace pixel_formats {
namespace detail {

Packed422Order OrderOf(PixelFormat packed_format) {
    if (packed_format == PixelFormat::kUyvy) return {1, 0, 3, 2};
    return {0, 1, 2, 3};
}

void UnpackPacked422Row(const Packed422Order& order, const uint8_t* src,
                        uint8_t* y, uint8_t* u, uint8_t* v, int width) {
    const int pairs = width / 2;
    for (int i = 0; i < pairs; ++i, src += 4) {
        y[2 * i] = src[order.y0];
        y[2 * i + 1] = src[order.y1];
        u[i] = src[order.u];
        v[i] = src[order.v];
    }
    if (width & 1) {
        y[width - 1] = src[order.y0];
        u[pairs] = src[order.u];
        v[pairs] = src[order.v];
    }
}

void PackPacked422Row(const Packed422Order& order, const uint8_t* y, const uint8_t* u,
                      const uint8_t* v, uint8_t* dst, int width) {
    const int groups = (width + 1) / 2;
    for (int i = 0; i < groups; ++i, dst += 4) {
        const int x1 = 2 * i + 1 < width ? 2 * i + 1 : 2 * i;
        dst[order.y0] = y[2 * i];
        dst[order.y1] = y[x1];
        dst[order.u] = u[i];
        dst[order.v] = v[i];
    }
}

void Yuv422ToBgraRow(const uint8_t* y, const uint8_t* u, const uint8_t* v, uint8_t* bgra, int width) {
    for (int x = 0; x < width; ++x, bgra += 4) {
        const ChromaTerms c = MakeChromaTerms(u[x / 2], v[x / 2]);
        YuvToBgr(y[x], c, bgra);
        bgra[3] = 255;
    }
}

void BgraToYRow(const uint8_t* bgra, uint8_t* y, int width) {
    for (int x = 0; x < width; ++x, bgra += 4) {
        y[x] = RgbToY(bgra[2], bgra[1], bgra[0]);
    }
}

void BgraToUvRow(const uint8_t* bgra, const uint8_t* bgra_below, uint8_t* u, uint8_t* v, int width) {
    const int chroma_width = (width + 1) / 2;
    for (int i = 0; i < chroma_width; ++i) {
        const int columns = 2 * i + 1 < width ? 2 : 1;
        int sum[3] = {0, 0, 0};
        int count = 0;
        for (const uint8_t* row : {bgra, bgra_below}) {
            if (!row) continue;
            for (int k = 0; k < columns; ++k) {
                const uint8_t* p = row + 4 * (2 * i + k);
                sum[0] += p[0];
                sum[1] += p[1];
                sum[2] += p[2];
                ++count;
            }
        }
        const int b = MeanOf(sum[0], count), g = MeanOf(sum[1], count), r = MeanOf(sum[2], count);
        u[i] = RgbToU(r, g, b);
        v[i] = RgbToV(r, g, b);
    }
}

void AverageRows(const uint8_t* a, const uint8_t* b, uint8_t* out, int count) {
    for (int i = 0; i < count; ++i) out[i] = Average2(a[i], b[i]);
}

}  // namespace detail
}  // namespace pixel_formats
