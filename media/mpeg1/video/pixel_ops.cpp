#include "media/mpeg1/video/pixel_ops.h"

#include <cstdlib>
#include <cstring>

#if defined(__i386__) || defined(__x86_64__)
#define MPEG_VIDEO_X86 1
#include <emmintrin.h>
#endif

namespace mpeg::video {

namespace {

int Sad16Scalar(const uint8_t* a, int a_stride, const uint8_t* b, int b_stride) {
    int sum = 0;
    for (int y = 0; y < 16; ++y, a += a_stride, b += b_stride)
        for (int x = 0; x < 16; ++x) sum += std::abs(a[x] - b[x]);
    return sum;
}

void PredictScalar(const uint8_t* r, int rs, int hx, int hy, int size, uint8_t* d, int ds) {
    for (int y = 0; y < size; ++y, r += rs, d += ds) {
        const uint8_t* r2 = r + (hy ? rs : 0);
        for (int x = 0; x < size; ++x) {
            if (hx && hy) {
                d[x] = static_cast<uint8_t>((r[x] + r[x + 1] + r2[x] + r2[x + 1] + 2) >> 2);
            } else if (hx) {
                d[x] = static_cast<uint8_t>((r[x] + r[x + 1] + 1) >> 1);
            } else if (hy) {
                d[x] = static_cast<uint8_t>((r[x] + r2[x] + 1) >> 1);
            } else {
                d[x] = r[x];
            }
        }
    }
}

inline uint8_t Avg(int a, int b) { return static_cast<uint8_t>((a + b + 1) >> 1); }

int HalfPelSadScalar(const uint8_t* r, int rs, int hx, int hy, const uint8_t* c, int cs) {
    int sum = 0;
    for (int y = 0; y < 16; ++y, r += rs, c += cs) {
        const uint8_t* r2 = r + (hy ? rs : 0);
        for (int x = 0; x < 16; ++x) {
            int p = r[x];
            if (hx && hy) {
                p = Avg(Avg(r[x], r[x + 1]), Avg(r2[x], r2[x + 1]));
            } else if (hx) {
                p = Avg(r[x], r[x + 1]);
            } else if (hy) {
                p = Avg(r[x], r2[x]);
            }
            sum += std::abs(c[x] - p);
        }
    }
    return sum;
}

int Residual8Scalar(const uint8_t* s, int ss, const uint8_t* p, int ps, int16_t* out) {
    int sum = 0;
    for (int y = 0; y < 8; ++y, s += ss, p += ps) {
        for (int x = 0; x < 8; ++x) {
            const int r = s[x] - p[x];
            out[y * 8 + x] = static_cast<int16_t>(r);
            sum += r < 0 ? -r : r;
        }
    }
    return sum;
}

void AddResidual8Scalar(const int16_t* residual, const uint8_t* p, int ps, uint8_t* d, int ds) {
    for (int y = 0; y < 8; ++y, p += ps, d += ds) {
        for (int x = 0; x < 8; ++x) {
            const int v = p[x] + residual[y * 8 + x];
            d[x] = static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
        }
    }
}

#ifdef MPEG_VIDEO_X86

__attribute__((target("sse2"))) int HalfPelSadSse2(const uint8_t* r, int rs, int hx, int hy, const uint8_t* c, int cs) {
    __m128i acc = _mm_setzero_si128();
    for (int y = 0; y < 16; ++y, r += rs, c += cs) {
        __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(r));
        if (hx) p = _mm_avg_epu8(p, _mm_loadu_si128(reinterpret_cast<const __m128i*>(r + 1)));
        if (hy) {
            __m128i q = _mm_loadu_si128(reinterpret_cast<const __m128i*>(r + rs));
            if (hx) q = _mm_avg_epu8(q, _mm_loadu_si128(reinterpret_cast<const __m128i*>(r + rs + 1)));
            p = _mm_avg_epu8(p, q);
        }
        acc = _mm_add_epi64(acc, _mm_sad_epu8(p, _mm_loadu_si128(reinterpret_cast<const __m128i*>(c))));
    }
    return _mm_cvtsi128_si32(acc) + _mm_cvtsi128_si32(_mm_srli_si128(acc, 8));
}

__attribute__((target("sse2"))) int Residual8Sse2(const uint8_t* s, int ss, const uint8_t* p, int ps, int16_t* out) {
    const __m128i zero = _mm_setzero_si128();
    __m128i acc = zero;
    for (int y = 0; y < 8; ++y, s += ss, p += ps) {
        const __m128i a = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(s));
        const __m128i b = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8 * y),
                         _mm_sub_epi16(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero)));
        acc = _mm_add_epi64(acc, _mm_sad_epu8(a, b));
    }
    return _mm_cvtsi128_si32(acc);
}

__attribute__((target("sse2"))) void AddResidual8Sse2(const int16_t* residual, const uint8_t* p, int ps, uint8_t* d,
                                                      int ds) {
    const __m128i zero = _mm_setzero_si128();
    for (int y = 0; y < 8; ++y, p += ps, d += ds) {
        const __m128i pred = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)), zero);
        const __m128i sum = _mm_add_epi16(pred, _mm_loadu_si128(reinterpret_cast<const __m128i*>(residual + 8 * y)));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(d), _mm_packus_epi16(sum, zero));
    }
}

__attribute__((target("sse2"))) int Sad16Sse2(const uint8_t* a, int a_stride, const uint8_t* b, int b_stride) {
    __m128i acc = _mm_setzero_si128();
    for (int y = 0; y < 16; ++y, a += a_stride, b += b_stride) {
        const __m128i va = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a));
        const __m128i vb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b));
        acc = _mm_add_epi64(acc, _mm_sad_epu8(va, vb));
    }
    return _mm_cvtsi128_si32(acc) + _mm_cvtsi128_si32(_mm_srli_si128(acc, 8));
}

// 16-wide rows only; 8-wide blocks are cheap enough in scalar code.
__attribute__((target("sse2"))) void Predict16Sse2(const uint8_t* r, int rs, int hx, int hy, uint8_t* d, int ds) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i two = _mm_set1_epi16(2);
    for (int y = 0; y < 16; ++y, r += rs, d += ds) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(r));
        __m128i out;
        if (hx && hy) {
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(r + 1));
            const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(r + rs));
            const __m128i e = _mm_loadu_si128(reinterpret_cast<const __m128i*>(r + rs + 1));
            __m128i lo = _mm_add_epi16(_mm_add_epi16(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero)),
                                       _mm_add_epi16(_mm_unpacklo_epi8(c, zero), _mm_unpacklo_epi8(e, zero)));
            __m128i hi = _mm_add_epi16(_mm_add_epi16(_mm_unpackhi_epi8(a, zero), _mm_unpackhi_epi8(b, zero)),
                                       _mm_add_epi16(_mm_unpackhi_epi8(c, zero), _mm_unpackhi_epi8(e, zero)));
            lo = _mm_srli_epi16(_mm_add_epi16(lo, two), 2);
            hi = _mm_srli_epi16(_mm_add_epi16(hi, two), 2);
            out = _mm_packus_epi16(lo, hi);
        } else if (hx) {
            out = _mm_avg_epu8(a, _mm_loadu_si128(reinterpret_cast<const __m128i*>(r + 1)));
        } else if (hy) {
            out = _mm_avg_epu8(a, _mm_loadu_si128(reinterpret_cast<const __m128i*>(r + rs)));
        } else {
            out = a;
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d), out);
    }
}

__attribute__((target("sse2"))) int Deviation16Sse2(const uint8_t* p, int stride) {
    __m128i acc = _mm_setzero_si128();
    const __m128i zero = _mm_setzero_si128();
    const uint8_t* q = p;
    for (int y = 0; y < 16; ++y, q += stride)
        acc = _mm_add_epi64(acc, _mm_sad_epu8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(q)), zero));
    const int sum = _mm_cvtsi128_si32(acc) + _mm_cvtsi128_si32(_mm_srli_si128(acc, 8));
    const __m128i mean = _mm_set1_epi8(static_cast<char>((sum + 128) >> 8));
    acc = _mm_setzero_si128();
    for (int y = 0; y < 16; ++y, p += stride)
        acc = _mm_add_epi64(acc, _mm_sad_epu8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), mean));
    return _mm_cvtsi128_si32(acc) + _mm_cvtsi128_si32(_mm_srli_si128(acc, 8));
}

bool CpuHasSse2() {
#if defined(__x86_64__)
    return true;
#else
    return __builtin_cpu_supports("sse2");
#endif
}
#else
bool CpuHasSse2() { return false; }
#endif

int Deviation16Scalar(const uint8_t* p, int stride) {
    int sum = 0;
    const uint8_t* q = p;
    for (int y = 0; y < 16; ++y, q += stride)
        for (int x = 0; x < 16; ++x) sum += q[x];
    const int mean = (sum + 128) >> 8;
    int dev = 0;
    for (int y = 0; y < 16; ++y, p += stride)
        for (int x = 0; x < 16; ++x) dev += std::abs(p[x] - mean);
    return dev;
}

bool g_simd = CpuHasSse2();

}  // namespace

int HalfPelSad16(const uint8_t* ref, int ref_stride, int half_x, int half_y, const uint8_t* cur, int cur_stride) {
#ifdef MPEG_VIDEO_X86
    if (g_simd) return HalfPelSadSse2(ref, ref_stride, half_x, half_y, cur, cur_stride);
#endif
    return HalfPelSadScalar(ref, ref_stride, half_x, half_y, cur, cur_stride);
}

int Residual8(const uint8_t* src, int src_stride, const uint8_t* pred, int pred_stride, int16_t* out) {
#ifdef MPEG_VIDEO_X86
    if (g_simd) return Residual8Sse2(src, src_stride, pred, pred_stride, out);
#endif
    return Residual8Scalar(src, src_stride, pred, pred_stride, out);
}

void AddResidual8(const int16_t* residual, const uint8_t* pred, int pred_stride, uint8_t* dst, int dst_stride) {
#ifdef MPEG_VIDEO_X86
    if (g_simd) return AddResidual8Sse2(residual, pred, pred_stride, dst, dst_stride);
#endif
    AddResidual8Scalar(residual, pred, pred_stride, dst, dst_stride);
}

void Copy8(const uint8_t* src, int src_stride, uint8_t* dst, int dst_stride) {
    for (int y = 0; y < 8; ++y, src += src_stride, dst += dst_stride) std::memcpy(dst, src, 8);
}

void SetSimdEnabled(bool enabled) { g_simd = enabled && CpuHasSse2(); }
bool SimdEnabled() { return g_simd; }

int Sad16(const uint8_t* a, int a_stride, const uint8_t* b, int b_stride) {
#ifdef MPEG_VIDEO_X86
    if (g_simd) return Sad16Sse2(a, a_stride, b, b_stride);
#endif
    return Sad16Scalar(a, a_stride, b, b_stride);
}

void PredictBlock(const uint8_t* ref, int ref_stride, int half_x, int half_y, int size, uint8_t* dst,
                  int dst_stride) {
#ifdef MPEG_VIDEO_X86
    if (g_simd && size == 16) {
        Predict16Sse2(ref, ref_stride, half_x, half_y, dst, dst_stride);
        return;
    }
#endif
    PredictScalar(ref, ref_stride, half_x, half_y, size, dst, dst_stride);
}

int Deviation16(const uint8_t* p, int stride) {
#ifdef MPEG_VIDEO_X86
    if (g_simd) return Deviation16Sse2(p, stride);
#endif
    return Deviation16Scalar(p, stride);
}

}  // namespace mpeg::video
