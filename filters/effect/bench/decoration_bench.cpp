// A frame file laid over the camera picture (copy plus blend, as the filter
// renders it) beside memcpy of the same frame, at 320x240 and 640x480. The
// frame: a picture border of a quarter of the area, opaque, with a soft inner
// edge, the middle clear, as the sample picture frames are.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>

#include "filters/effect/decoration.h"
#include "media/effects/tests/test_scene.h"

namespace {

std::shared_ptr<const frame_files::FrameAnimation> Border(int w, int h) {
    auto a = std::make_shared<frame_files::FrameAnimation>();
    a->width = w, a->height = h;
    a->frames.resize(1);
    a->frames[0].duration_ms = 1000;
    auto& rgba = a->frames[0].rgba;
    rgba.resize(static_cast<size_t>(w) * h * 4);
    const int band = h / 8;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = &rgba[(static_cast<size_t>(y) * w + x) * 4];
            const int d = std::min(std::min(x, w - 1 - x), std::min(y, h - 1 - y));
            p[0] = 200, p[1] = 120, p[2] = 40;
            p[3] = d < band ? 255 : d < band + 4 ? static_cast<uint8_t>(255 - 60 * (d - band)) : 0;
        }
    return a;
}

void Overlay(benchmark::State& state) {
    const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
    const effects_test::Picture in = effects_test::Scene(w, h);
    effects_test::Picture out(w, h);
    auto decoration = effect_filter::MakeFrameDecoration(Border(w, h), {});
    effects::SampleTime t = 0;
    for (auto _ : state) {
        decoration->Render(in.View(), out.View(), t += effects::kSecond / 30);
        benchmark::ClobberMemory();
    }
}

void Memcpy(benchmark::State& state) {
    const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
    const effects_test::Picture in = effects_test::Scene(w, h);
    effects_test::Picture out(w, h);
    for (auto _ : state) {
        std::memcpy(out.pixels.data(), in.pixels.data(), in.pixels.size());
        benchmark::ClobberMemory();
    }
}

BENCHMARK(Memcpy)->Args({320, 240})->Args({640, 480});
BENCHMARK(Overlay)->Args({320, 240})->Args({640, 480});

}  // namespace
