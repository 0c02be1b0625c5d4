// Our per-frame conversions at 640x480 beside libyuv's, the yardstick. RGB is
// a bottom-up DIB on both sides (libyuv flips when given a negative height).
// "libyuv_C" masks libyuv's SIMD off, for a scalar-to-scalar comparison.
#include <benchmark/benchmark.h>
#include <libyuv.h>

#include <cstdint>
#include <vector>

#include "pixel_formats/convert_frame.h"

namespace {

using pixel_formats::PixelFormat;

constexpr int kWidth = 640;
constexpr int kHeight = 480;

struct Frames {
    std::vector<uint8_t> yuy2 = Filled(PixelFormat::kYuy2, 1);
    std::vector<uint8_t> i420 = Filled(PixelFormat::kI420, 2);
    std::vector<uint8_t> rgb24 = Filled(PixelFormat::kRgb24, 3);
    std::vector<uint8_t> out = std::vector<uint8_t>(kWidth * kHeight * 4);
    std::vector<uint8_t> argb = std::vector<uint8_t>(kWidth * kHeight * 4);

    static std::vector<uint8_t> Filled(PixelFormat f, unsigned seed) {
        std::vector<uint8_t> v(pixel_formats::FrameSize(f, kWidth, kHeight));
        for (auto& b : v) b = static_cast<uint8_t>(seed = seed * 1103515245u + 12345u);
        return v;
    }
    uint8_t* Plane(std::vector<uint8_t>& v, int i) { return v.data() + (i == 0 ? 0 : i == 1 ? kWidth * kHeight : kWidth * kHeight * 5 / 4); }
};

Frames& Shared() {
    static Frames frames;
    return frames;
}

// One frame per iteration, so Google Benchmark's time column is the time per frame.
template <typename Fn>
void RunFrames(benchmark::State& state, bool libyuv_simd, Fn fn) {
    libyuv::MaskCpuFlags(libyuv_simd ? -1 : 1);  // 1 = initialised with no SIMD flags
    for (auto _ : state) {
        fn(Shared());
        benchmark::ClobberMemory();
    }
    libyuv::MaskCpuFlags(-1);
    state.SetItemsProcessed(state.iterations());
}

void Ours(benchmark::State& state, PixelFormat from, PixelFormat to) {
    RunFrames(state, true, [from, to](Frames& f) {
        std::vector<uint8_t>& src = from == PixelFormat::kYuy2 ? f.yuy2 : from == PixelFormat::kI420 ? f.i420 : f.rgb24;
        pixel_formats::ConvertFrame(src.data(), src.size(), from, f.out.data(), f.out.size(), to, kWidth, kHeight);
    });
}

void BM_Ours_Yuy2ToRgb24(benchmark::State& s) { Ours(s, PixelFormat::kYuy2, PixelFormat::kRgb24); }
void BM_Ours_I420ToRgb24(benchmark::State& s) { Ours(s, PixelFormat::kI420, PixelFormat::kRgb24); }
void BM_Ours_Rgb24ToI420(benchmark::State& s) { Ours(s, PixelFormat::kRgb24, PixelFormat::kI420); }
void BM_Ours_Yuy2ToRgb32(benchmark::State& s) { Ours(s, PixelFormat::kYuy2, PixelFormat::kRgb32); }

// libyuv has no YUY2 -> RGB24 in one call: YUY2 -> ARGB -> RGB24.
void LibyuvYuy2ToRgb24(benchmark::State& state, bool simd) {
    RunFrames(state, simd, [](Frames& f) {
        libyuv::YUY2ToARGB(f.yuy2.data(), kWidth * 2, f.argb.data(), kWidth * 4, kWidth, -kHeight);
        libyuv::ARGBToRGB24(f.argb.data(), kWidth * 4, f.out.data(), kWidth * 3, kWidth, kHeight);
    });
}

void LibyuvYuy2ToArgb(benchmark::State& state, bool simd) {
    RunFrames(state, simd, [](Frames& f) {
        libyuv::YUY2ToARGB(f.yuy2.data(), kWidth * 2, f.out.data(), kWidth * 4, kWidth, -kHeight);
    });
}

void LibyuvI420ToRgb24(benchmark::State& state, bool simd) {
    RunFrames(state, simd, [](Frames& f) {
        libyuv::I420ToRGB24(f.Plane(f.i420, 0), kWidth, f.Plane(f.i420, 1), kWidth / 2, f.Plane(f.i420, 2),
                            kWidth / 2, f.out.data(), kWidth * 3, kWidth, -kHeight);
    });
}

void LibyuvRgb24ToI420(benchmark::State& state, bool simd) {
    RunFrames(state, simd, [](Frames& f) {
        // Negative height reads the bottom-up DIB from its last memory row, i.e. the top of the picture.
        libyuv::RGB24ToI420(f.rgb24.data(), kWidth * 3, f.Plane(f.out, 0), kWidth, f.Plane(f.out, 1), kWidth / 2,
                            f.Plane(f.out, 2), kWidth / 2, kWidth, -kHeight);
    });
}

BENCHMARK(BM_Ours_Yuy2ToRgb24);
BENCHMARK_CAPTURE(LibyuvYuy2ToRgb24, libyuv_SIMD, true);
BENCHMARK_CAPTURE(LibyuvYuy2ToRgb24, libyuv_C, false);
BENCHMARK(BM_Ours_Yuy2ToRgb32);
BENCHMARK_CAPTURE(LibyuvYuy2ToArgb, libyuv_SIMD, true);
BENCHMARK_CAPTURE(LibyuvYuy2ToArgb, libyuv_C, false);
BENCHMARK(BM_Ours_I420ToRgb24);
BENCHMARK_CAPTURE(LibyuvI420ToRgb24, libyuv_SIMD, true);
BENCHMARK_CAPTURE(LibyuvI420ToRgb24, libyuv_C, false);
BENCHMARK(BM_Ours_Rgb24ToI420);
BENCHMARK_CAPTURE(LibyuvRgb24ToI420, libyuv_SIMD, true);
BENCHMARK_CAPTURE(LibyuvRgb24ToI420, libyuv_C, false);

}  // namespace
