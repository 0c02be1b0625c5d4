// Laying a prepared frame over one video picture, side by side with a memcpy
// of the same picture: the per-frame cost the effect filter adds.
#include <benchmark/benchmark.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "media/frame_files/blend_rows.h"
#include "media/frame_files/frame_decoders.h"
#include "media/frame_files/frame_overlay.h"

namespace {

using namespace frame_files;

FrameAnimation Sample(const std::string& name) {
    std::ifstream in(std::string(FRAME_SAMPLES_DIR) + "/" + name, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    FrameAnimation a;
    if (DecodeFrameFile(bytes.data(), bytes.size(), &a) != DecodeError::None) std::abort();
    return a;
}

// Worst case: every pixel half transparent.
FrameAnimation Translucent() {
    FrameAnimation a;
    a.width = 320, a.height = 240;
    a.frames.push_back({std::vector<uint8_t>(320 * 240 * 4, 128), 100});
    return a;
}

void Memcpy(benchmark::State& state) {
    const size_t bytes = static_cast<size_t>(state.range(0)) * state.range(1) * 3;
    std::vector<uint8_t> src(bytes, 1), dst(bytes, 2);
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), bytes);
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

void Blend(benchmark::State& state, const FrameAnimation& animation) {
    const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
    PreparedOverlay overlay;
    if (!PrepareOverlay(animation, 0, w, h, &overlay)) std::abort();
    std::vector<uint8_t> picture(static_cast<size_t>(w) * h * 3, 90);
    for (auto _ : state) {
        BlendOverlay(overlay, picture.data(), w * 3);
        benchmark::DoNotOptimize(picture.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * picture.size()));
}

void BlendWood(benchmark::State& s) { static const FrameAnimation a = Sample("wood.bmp"); Blend(s, a); }
void BlendPostcard(benchmark::State& s) { static const FrameAnimation a = Sample("postcard.bmp"); Blend(s, a); }
void BlendSnow(benchmark::State& s) { static const FrameAnimation a = Sample("snow.bmp"); Blend(s, a); }
void BlendAllTranslucent(benchmark::State& s) { static const FrameAnimation a = Translucent(); Blend(s, a); }

void PrepareWood(benchmark::State& state) {
    static const FrameAnimation a = Sample("wood.bmp");
    PreparedOverlay overlay;
    for (auto _ : state) PrepareOverlay(a, 0, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), &overlay);
}

// The kernel alone on one cache-resident row of 640 pixels, per level.
void BlendRow(benchmark::State& state) {
    const BlendRowFunction blend = BlendRowFor(static_cast<BlendLevel>(state.range(0)));
    if (!blend) return state.SkipWithError("level not available here");
    std::vector<uint8_t> dst(640 * 3, 100), src(640 * 3, 60), inverse(640 * 3, 127);
    for (auto _ : state) {
        blend(dst.data(), src.data(), inverse.data(), dst.size());
        benchmark::DoNotOptimize(dst.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * dst.size()));
}
BENCHMARK(BlendRow)->Arg(0)->Arg(1)->Arg(2);

#define SIZES ->Args({320, 240})->Args({640, 480})
BENCHMARK(Memcpy) SIZES;
BENCHMARK(BlendWood) SIZES;
BENCHMARK(BlendPostcard) SIZES;
BENCHMARK(BlendSnow) SIZES;
BENCHMARK(BlendAllTranslucent) SIZES;
BENCHMARK(PrepareWood) SIZES;

}  // namespace
