#include "capture_engine/mpeg/video/dct.h"

#include <cmath>

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

}  // namespace

void ForwardDct(const int16_t in[64], int16_t out[64]) { Transform2d<ForwardColumns>(in, out); }
void InverseDct(const int16_t in[64], int16_t out[64]) { Transform2d<InverseColumns>(in, out); }

}  // namespace mpeg::video
