// ConvertFrame on the frames a capture graph sends it, beside libyuv doing the
// same work (convert to ARGB, scale without filtering, pack to RGB24; output
// bottom-up, so libyuv flips through a negative height) and beside memcpy of
// the frame's input and output bytes, the physical floor. One frame per
// iteration. After the runs a table gives ours/libyuv and ours/memcpy.
#include <benchmark/benchmark.h>
#include <libyuv.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "filters/pixmorph/colorspaceconverter.h"
#include "filters/pixmorph/colorspaceconverter_reference.h"

namespace {

using pixmorph::ScaleMode;
using pixmorph::Subtype;

struct Shape {
    const char* name;
    Subtype subtype;
    int width, height;
    ScaleMode mode;
    int out_width, out_height;  // in multiple mode: width*mx, height*my
    int mx, my;
};

const Shape kShapes[] = {
    {"YUY2 640x480 -> 320x240", Subtype::kYuy2, 640, 480, ScaleMode::kSize, 320, 240, 1, 1},
    {"I420 640x480 -> 640x480", Subtype::kI420, 640, 480, ScaleMode::kSize, 640, 480, 1, 1},
    {"YUY2 320x240 x2x2", Subtype::kYuy2, 320, 240, ScaleMode::kMultiple, 640, 480, 2, 2},
    {"YUY2 1280x720 -> 640x480", Subtype::kYuy2, 1280, 720, ScaleMode::kSize, 640, 480, 1, 1},
};

struct Buffers {
    explicit Buffers(const Shape& s)
        : in(pixmorph::InputFrameSize(s.subtype, s.width, s.height)),
          yuy2(pixmorph::Yuy2WorkSize(s.subtype, s.width, s.height)),
          rgb(pixmorph::RgbWorkSize(s.width, s.height)),
          out(pixmorph::OutputFrameSize(s.out_width, s.out_height)),
          argb(static_cast<size_t>(s.width) * s.height * 4),
          argb_scaled(static_cast<size_t>(s.out_width) * s.out_height * 4),
          in_copy(in.size()),
          out_source(out.size()) {
        std::mt19937 rng(1);
        for (auto& b : in) b = static_cast<uint8_t>(rng());
    }
    std::vector<uint8_t> in, yuy2, rgb, out, argb, argb_scaled, in_copy, out_source;
};

using Pipeline = pixmorph::Status (*)(const pixmorph::InputFrame&, const pixmorph::WorkBuffers&,
                                      const pixmorph::OutputFrame&);

void Ours(benchmark::State& state, const Shape& s, Pipeline run, pixmorph::SimdLevel level) {
    Buffers b(s);
    pixmorph::InitYuvTables();
    pixmorph::ForceSimdLevel(level);
    const pixmorph::InputFrame in{b.in.data(), b.in.size(), s.subtype, s.width, s.height};
    const pixmorph::WorkBuffers work{b.yuy2.data(), b.yuy2.size(), b.rgb.data(), b.rgb.size()};
    const pixmorph::OutputFrame out{b.out.data(), b.out.size(), s.mode, s.out_width, s.out_height, s.mx, s.my};
    for (auto _ : state) {
        if (run(in, work, out) != pixmorph::Status::kOk) state.SkipWithError("frame refused");
        benchmark::ClobberMemory();
    }
    pixmorph::ForceSimdLevel(pixmorph::SimdLevel::kAvx2);
}

void Libyuv(benchmark::State& state, const Shape& s) {
    Buffers b(s);
    const int w = s.width, h = s.height, ow = s.out_width, oh = s.out_height;
    for (auto _ : state) {
        if (s.subtype == Subtype::kI420) {
            const uint8_t* y = b.in.data();
            libyuv::I420ToRGB24(y, w, y + w * h, w / 2, y + w * h * 5 / 4, w / 2, b.out.data(), w * 3, w, -h);
        } else {
            libyuv::YUY2ToARGB(b.in.data(), w * 2, b.argb.data(), w * 4, w, -h);
            libyuv::ARGBScale(b.argb.data(), w * 4, w, h, b.argb_scaled.data(), ow * 4, ow, oh, libyuv::kFilterNone);
            libyuv::ARGBToRGB24(b.argb_scaled.data(), ow * 4, b.out.data(), ow * 3, ow, oh);
        }
        benchmark::ClobberMemory();
    }
}

void Memcpy(benchmark::State& state, const Shape& s) {
    Buffers b(s);
    for (auto _ : state) {
        std::memcpy(b.in_copy.data(), b.in.data(), b.in.size());
        std::memcpy(b.out.data(), b.out_source.data(), b.out.size());
        benchmark::ClobberMemory();
    }
}

// Collects the time per frame of each run, then prints the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
            std::string name = run.run_name.function_name;
            times_[name] = run.GetAdjustedCPUTime();
        }
    }

    void PrintRatios() const {
        std::printf("\n%-26s %9s %9s %9s %9s %9s %9s %12s %12s\n", "CPU us per frame", "ours", "SSSE3", "SSE2",
                    "scalar", "reference", "libyuv", "ours/libyuv", "ours/memcpy");
        for (const Shape& s : kShapes) {
            auto t = [&](const char* what) {
                const auto it = times_.find(std::string(s.name) + "/" + what);
                return it == times_.end() ? 0.0 : it->second;
            };
            const double ours = t("ours"), libyuv = t("libyuv"), floor = t("memcpy");
            std::printf("%-26s %9.1f %9.1f %9.1f %9.1f %9.1f %9.1f %12.2f %12.2f   (memcpy %.1f)\n", s.name, ours,
                        t("ours_ssse3"), t("ours_sse2"), t("ours_scalar"), t("reference"), libyuv,
                        libyuv > 0 ? ours / libyuv : 0.0, floor > 0 ? ours / floor : 0.0, floor);
        }
        std::printf("ours: %s; ratios use ours at that level\n",
                    pixmorph::SimdLevelName(pixmorph::DetectedSimdLevel()));
    }

private:
    std::map<std::string, double> times_;
};

void Register() {
    using pixmorph::SimdLevel;
    for (const Shape& s : kShapes) {
        const std::string n = s.name;
        auto add = [](const std::string& name, auto fn) {
            benchmark::RegisterBenchmark(name.c_str(), fn)->Unit(benchmark::kMicrosecond);
        };
        add(n + "/ours", [&s](benchmark::State& st) { Ours(st, s, pixmorph::ConvertFrame, SimdLevel::kAvx2); });
        add(n + "/ours_ssse3", [&s](benchmark::State& st) { Ours(st, s, pixmorph::ConvertFrame, SimdLevel::kSsse3); });
        add(n + "/ours_sse2", [&s](benchmark::State& st) { Ours(st, s, pixmorph::ConvertFrame, SimdLevel::kSse2); });
        add(n + "/ours_scalar", [&s](benchmark::State& st) { Ours(st, s, pixmorph::ConvertFrame, SimdLevel::kScalar); });
        add(n + "/reference",
            [&s](benchmark::State& st) { Ours(st, s, pixmorph::oracle::ConvertFrame, SimdLevel::kScalar); });
        add(n + "/libyuv", [&s](benchmark::State& st) { Libyuv(st, s); });
        add(n + "/memcpy", [&s](benchmark::State& st) { Memcpy(st, s); });
    }
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    Register();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
