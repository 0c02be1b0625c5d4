// Cost of the channel per 640x480 frame beside a plain copy of the frame,
// the yardstick: the writer's publish and a reader's copy-out.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "media/frame_channel/channel_layout.h"
#include "media/frame_channel/frame_reader.h"
#include "media/frame_channel/frame_writer.h"

namespace {

using pixel_formats::FrameFormat;
using pixel_formats::PixelFormat;

struct Setup {
    FrameFormat format;
    std::vector<uint8_t> frame, out, memory;
    frame_channel::FrameWriter writer;

    explicit Setup(PixelFormat pixel_format)
        : format{pixel_format, 640, 480},
          frame(frame_channel::FrameBytes(format), 0x5A),
          out(frame.size()),
          memory(frame_channel::MappingSizeFor(1280 * 720 * 3)) {
        writer.Attach(memory.data(), memory.size(), 1);
        writer.Write(frame.data(), frame.size(), format, {}, 1);
    }
};

PixelFormat FormatArg(const benchmark::State& state) {
    return state.range(0) == 0 ? PixelFormat::kRgb24 : PixelFormat::kI420;
}

void BM_Memcpy(benchmark::State& state) {
    Setup s(FormatArg(state));
    for (auto _ : state) {
        std::memcpy(s.out.data(), s.frame.data(), s.frame.size());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * s.frame.size()));
}

void BM_WriterPublish(benchmark::State& state) {
    Setup s(FormatArg(state));
    uint64_t n = 1;
    for (auto _ : state) {
        s.writer.Write(s.frame.data(), s.frame.size(), s.format, {}, ++n);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * s.frame.size()));
}

void BM_ReaderCopy(benchmark::State& state) {
    Setup s(FormatArg(state));
    frame_channel::FrameReader reader(s.memory.data(), s.memory.size());
    frame_channel::FrameInfo info;
    for (auto _ : state) {
        if (reader.ReadLatest(s.out.data(), s.out.size(), &info) != frame_channel::ReadResult::kFrame) {
            state.SkipWithError("no frame");
        }
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * s.frame.size()));
}

// 0: RGB24, 1: I420.
BENCHMARK(BM_Memcpy)->Arg(0)->Arg(1);
BENCHMARK(BM_WriterPublish)->Arg(0)->Arg(1);
BENCHMARK(BM_ReaderCopy)->Arg(0)->Arg(1);

}  // namespace
