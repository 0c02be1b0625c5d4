#include "media/mpeg1/video/dct.h"

#include <cmath>
#include <cstdlib>

#include "media/mpeg1/video/pixel_ops.h"

#if defined(__i386__) || defined(__x86_64__)
#define MPEG_VIDEO_X86 1
#include <emmintrin.h>
#endif

namespace mpeg::video {

namespace {

constexpr double kPi = 3.14159265358979323846;

// cos(k pi / 16) / 2: the 1/2 of each pass gives the 1/4 of the 2-D transform.
struct Constants {
    float c[8];
    Constants() {
        for (int k = 0; k < 8; ++k) c[k] = static_cast<float>(std::cos(k * kPi / 16.0) / 2.0);
    }
};
const Constants kC;

// Each pass transforms the eight columns of `in` at once (lane = column), so
// the compiler can keep a row in one vector register; the caller transposes
// between passes.
void ForwardColumns(const float* in, float* out) {
    const float c1 = kC.c[1], c2 = kC.c[2], c3 = kC.c[3], c4 = kC.c[4], c5 = kC.c[5], c6 = kC.c[6],
                c7 = kC.c[7];
    for (int x = 0; x < 8; ++x) {
        const float s0 = in[0 * 8 + x] + in[7 * 8 + x], d0 = in[0 * 8 + x] - in[7 * 8 + x];
        const float s1 = in[1 * 8 + x] + in[6 * 8 + x], d1 = in[1 * 8 + x] - in[6 * 8 + x];
        const float s2 = in[2 * 8 + x] + in[5 * 8 + x], d2 = in[2 * 8 + x] - in[5 * 8 + x];
        const float s3 = in[3 * 8 + x] + in[4 * 8 + x], d3 = in[3 * 8 + x] - in[4 * 8 + x];
        const float e0 = s0 + s3, e1 = s1 + s2, e2 = s0 - s3, e3 = s1 - s2;
        out[0 * 8 + x] = c4 * (e0 + e1);
        out[4 * 8 + x] = c4 * (e0 - e1);
        out[2 * 8 + x] = c2 * e2 + c6 * e3;
        out[6 * 8 + x] = c6 * e2 - c2 * e3;
        out[1 * 8 + x] = c1 * d0 + c3 * d1 + c5 * d2 + c7 * d3;
        out[3 * 8 + x] = c3 * d0 - c7 * d1 - c1 * d2 - c5 * d3;
        out[5 * 8 + x] = c5 * d0 - c1 * d1 + c7 * d2 + c3 * d3;
        out[7 * 8 + x] = c7 * d0 - c5 * d1 + c3 * d2 - c1 * d3;
    }
}

void InverseColumns(const float* in, float* out) {
    const float c1 = kC.c[1], c2 = kC.c[2], c3 = kC.c[3], c4 = kC.c[4], c5 = kC.c[5], c6 = kC.c[6],
                c7 = kC.c[7];
    for (int x = 0; x < 8; ++x) {
        const float f0 = in[0 * 8 + x], f1 = in[1 * 8 + x], f2 = in[2 * 8 + x], f3 = in[3 * 8 + x];
        const float f4 = in[4 * 8 + x], f5 = in[5 * 8 + x], f6 = in[6 * 8 + x], f7 = in[7 * 8 + x];
        const float t0 = c4 * (f0 + f4), t1 = c4 * (f0 - f4);
        const float u = c2 * f2 + c6 * f6, v = c6 * f2 - c2 * f6;
        const float e0 = t0 + u, e3 = t0 - u, e1 = t1 + v, e2 = t1 - v;
        const float o0 = c1 * f1 + c3 * f3 + c5 * f5 + c7 * f7;
        const float o1 = c3 * f1 - c7 * f3 - c1 * f5 - c5 * f7;
        const float o2 = c5 * f1 - c1 * f3 + c7 * f5 + c3 * f7;
        const float o3 = c7 * f1 - c5 * f3 + c3 * f5 - c1 * f7;
        out[0 * 8 + x] = e0 + o0;
        out[7 * 8 + x] = e0 - o0;
        out[1 * 8 + x] = e1 + o1;
        out[6 * 8 + x] = e1 - o1;
        out[2 * 8 + x] = e2 + o2;
        out[5 * 8 + x] = e2 - o2;
        out[3 * 8 + x] = e3 + o3;
        out[4 * 8 + x] = e3 - o3;
    }
}

void Transpose(const float* in, float* out) {
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) out[x * 8 + y] = in[y * 8 + x];
}

// Round half away from zero, as the standard's reference rounding does.
inline int16_t Round(float v) {
    return static_cast<int16_t>(v >= 0 ? static_cast<int>(v + 0.5f) : -static_cast<int>(0.5f - v));
}

template <void (*Pass)(const float*, float*)>
void Transform2d(const int16_t in[64], int16_t out[64]) {
    float a[64], b[64];
    for (int i = 0; i < 64; ++i) a[i] = in[i];
    Pass(a, b);
    Transpose(b, a);
    Pass(a, b);
    Transpose(b, a);
    for (int i = 0; i < 64; ++i) out[i] = Round(a[i]);
}

#ifdef MPEG_VIDEO_X86

// The same arithmetic as the scalar passes, in the same order, four columns
// per register: results are bit-identical.
struct Rows {
    __m128 v[8];
};

__attribute__((target("sse2"), always_inline)) inline __m128 Mul(float c, __m128 x) { return _mm_mul_ps(_mm_set1_ps(c), x); }

__attribute__((target("sse2"), always_inline)) inline void ForwardPassSse2(Rows& r) {
    const float c1 = kC.c[1], c2 = kC.c[2], c3 = kC.c[3], c4 = kC.c[4], c5 = kC.c[5], c6 = kC.c[6], c7 = kC.c[7];
    const __m128* in = r.v;
    const __m128 s0 = _mm_add_ps(in[0], in[7]), d0 = _mm_sub_ps(in[0], in[7]);
    const __m128 s1 = _mm_add_ps(in[1], in[6]), d1 = _mm_sub_ps(in[1], in[6]);
    const __m128 s2 = _mm_add_ps(in[2], in[5]), d2 = _mm_sub_ps(in[2], in[5]);
    const __m128 s3 = _mm_add_ps(in[3], in[4]), d3 = _mm_sub_ps(in[3], in[4]);
    const __m128 e0 = _mm_add_ps(s0, s3), e1 = _mm_add_ps(s1, s2), e2 = _mm_sub_ps(s0, s3), e3 = _mm_sub_ps(s1, s2);
    r.v[0] = Mul(c4, _mm_add_ps(e0, e1));
    r.v[4] = Mul(c4, _mm_sub_ps(e0, e1));
    r.v[2] = _mm_add_ps(Mul(c2, e2), Mul(c6, e3));
    r.v[6] = _mm_sub_ps(Mul(c6, e2), Mul(c2, e3));
    r.v[1] = _mm_add_ps(_mm_add_ps(_mm_add_ps(Mul(c1, d0), Mul(c3, d1)), Mul(c5, d2)), Mul(c7, d3));
    r.v[3] = _mm_sub_ps(_mm_sub_ps(_mm_sub_ps(Mul(c3, d0), Mul(c7, d1)), Mul(c1, d2)), Mul(c5, d3));
    r.v[5] = _mm_add_ps(_mm_add_ps(_mm_sub_ps(Mul(c5, d0), Mul(c1, d1)), Mul(c7, d2)), Mul(c3, d3));
    r.v[7] = _mm_sub_ps(_mm_add_ps(_mm_sub_ps(Mul(c7, d0), Mul(c5, d1)), Mul(c3, d2)), Mul(c1, d3));
}

__attribute__((target("sse2"), always_inline)) inline void InversePassSse2(Rows& r) {
    const float c1 = kC.c[1], c2 = kC.c[2], c3 = kC.c[3], c4 = kC.c[4], c5 = kC.c[5], c6 = kC.c[6], c7 = kC.c[7];
    const __m128 f0 = r.v[0], f1 = r.v[1], f2 = r.v[2], f3 = r.v[3], f4 = r.v[4], f5 = r.v[5], f6 = r.v[6], f7 = r.v[7];
    const __m128 t0 = Mul(c4, _mm_add_ps(f0, f4)), t1 = Mul(c4, _mm_sub_ps(f0, f4));
    const __m128 u = _mm_add_ps(Mul(c2, f2), Mul(c6, f6)), v = _mm_sub_ps(Mul(c6, f2), Mul(c2, f6));
    const __m128 e0 = _mm_add_ps(t0, u), e3 = _mm_sub_ps(t0, u), e1 = _mm_add_ps(t1, v), e2 = _mm_sub_ps(t1, v);
    const __m128 o0 = _mm_add_ps(_mm_add_ps(_mm_add_ps(Mul(c1, f1), Mul(c3, f3)), Mul(c5, f5)), Mul(c7, f7));
    const __m128 o1 = _mm_sub_ps(_mm_sub_ps(_mm_sub_ps(Mul(c3, f1), Mul(c7, f3)), Mul(c1, f5)), Mul(c5, f7));
    const __m128 o2 = _mm_add_ps(_mm_add_ps(_mm_sub_ps(Mul(c5, f1), Mul(c1, f3)), Mul(c7, f5)), Mul(c3, f7));
    const __m128 o3 = _mm_sub_ps(_mm_add_ps(_mm_sub_ps(Mul(c7, f1), Mul(c5, f3)), Mul(c3, f5)), Mul(c1, f7));
    r.v[0] = _mm_add_ps(e0, o0);
    r.v[7] = _mm_sub_ps(e0, o0);
    r.v[1] = _mm_add_ps(e1, o1);
    r.v[6] = _mm_sub_ps(e1, o1);
    r.v[2] = _mm_add_ps(e2, o2);
    r.v[5] = _mm_sub_ps(e2, o2);
    r.v[3] = _mm_add_ps(e3, o3);
    r.v[4] = _mm_sub_ps(e3, o3);
}

// Left: columns 0-3, right: columns 4-7, each eight rows.
__attribute__((target("sse2"), always_inline)) inline void Transpose(Rows& left, Rows& right) {
    __m128 a0 = left.v[0], a1 = left.v[1], a2 = left.v[2], a3 = left.v[3];
    __m128 b0 = left.v[4], b1 = left.v[5], b2 = left.v[6], b3 = left.v[7];
    __m128 c0 = right.v[0], c1 = right.v[1], c2 = right.v[2], c3 = right.v[3];
    __m128 d0 = right.v[4], d1 = right.v[5], d2 = right.v[6], d3 = right.v[7];
    _MM_TRANSPOSE4_PS(a0, a1, a2, a3);
    _MM_TRANSPOSE4_PS(b0, b1, b2, b3);
    _MM_TRANSPOSE4_PS(c0, c1, c2, c3);
    _MM_TRANSPOSE4_PS(d0, d1, d2, d3);
    left.v[0] = a0, left.v[1] = a1, left.v[2] = a2, left.v[3] = a3;
    left.v[4] = c0, left.v[5] = c1, left.v[6] = c2, left.v[7] = c3;
    right.v[0] = b0, right.v[1] = b1, right.v[2] = b2, right.v[3] = b3;
    right.v[4] = d0, right.v[5] = d1, right.v[6] = d2, right.v[7] = d3;
}

__attribute__((target("sse2"), always_inline)) inline __m128i RoundPack(__m128 lo, __m128 hi) {
    const __m128 sign = _mm_set1_ps(-0.0f), half = _mm_set1_ps(0.5f);
    lo = _mm_add_ps(lo, _mm_or_ps(half, _mm_and_ps(lo, sign)));
    hi = _mm_add_ps(hi, _mm_or_ps(half, _mm_and_ps(hi, sign)));
    return _mm_packs_epi32(_mm_cvttps_epi32(lo), _mm_cvttps_epi32(hi));
}

template <void (*Pass)(Rows&)>
__attribute__((target("sse2"))) void Transform2dSse2(const int16_t in[64], int16_t out[64]) {
    Rows left, right;
    for (int y = 0; y < 8; ++y) {
        const __m128i row = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 8 * y));
        left.v[y] = _mm_cvtepi32_ps(_mm_srai_epi32(_mm_unpacklo_epi16(row, row), 16));
        right.v[y] = _mm_cvtepi32_ps(_mm_srai_epi32(_mm_unpackhi_epi16(row, row), 16));
    }
    Pass(left);
    Pass(right);
    Transpose(left, right);
    Pass(left);
    Pass(right);
    Transpose(left, right);
    for (int y = 0; y < 8; ++y)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8 * y), RoundPack(left.v[y], right.v[y]));
}

#endif

}  // namespace

void ForwardDct(const int16_t in[64], int16_t out[64]) {
#ifdef MPEG_VIDEO_X86
    if (SimdEnabled()) return Transform2dSse2<ForwardPassSse2>(in, out);
#endif
    Transform2d<ForwardColumns>(in, out);
}

void InverseDct(const int16_t in[64], int16_t out[64]) {
#ifdef MPEG_VIDEO_X86
    if (SimdEnabled()) return Transform2dSse2<InversePassSse2>(in, out);
#endif
    Transform2d<InverseColumns>(in, out);
}

int16_t InverseDctOfDc(int16_t dc) {
    // Exactly dc / 8, rounded half away from zero like the reference transform.
    const int magnitude = (std::abs(static_cast<int>(dc)) + 4) >> 3;
    return static_cast<int16_t>(dc < 0 ? -magnitude : magnitude);
}

}  // namespace mpeg::video
