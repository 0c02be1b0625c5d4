// Every effect on a natural-looking frame at 320x240 and 640x480, beside
// memcpy of the same frame (the floor). Sample time advances 1/30 s per
// iteration, as from a 30 fps camera, so moving warps rebuild their maps as
// often as they would in a stream. Ends with a table of frames per second and
// the ratio to memcpy.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>

#include "media/effects/effect.h"
#include "media/effects/tests/test_scene.h"

namespace {

constexpr int kSizes[][2] = {{320, 240}, {640, 480}};

std::string SizeName(int w, int h) { return std::to_string(w) + "x" + std::to_string(h); }

void RunEffect(benchmark::State& state, int code, int w, int h) {
    const effects_test::Picture in = effects_test::Scene(w, h);
    effects_test::Picture out(w, h);
    auto effect = effects::CreateEffect(code);
    effects::SampleTime t = 0;
    for (auto _ : state) {
        effect->Apply(in.View(), out.View(), t);
        t += effects::kSecond / 30;
        benchmark::ClobberMemory();
    }
}

void RunMemcpy(benchmark::State& state, int w, int h) {
    const effects_test::Picture in = effects_test::Scene(w, h);
    effects_test::Picture out(w, h);
    for (auto _ : state) {
        std::memcpy(out.pixels.data(), in.pixels.data(), in.pixels.size());
        benchmark::ClobberMemory();
    }
}

class TableReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) seconds_[run.run_name.function_name] = run.GetAdjustedCPUTime() * 1e-9;
    }

    void PrintTable() const {
        std::printf("\n%-16s", "effect");
        for (const auto& s : kSizes) std::printf(" %9s fps  x memcpy", SizeName(s[0], s[1]).c_str());
        std::printf("\n");
        for (int code = 0; code <= effects::kLastEffectCode; ++code) Line(code, effects::EffectName(code));
        Line(-1, "memcpy");
    }

private:
    double Seconds(const std::string& name) const {
        const auto it = seconds_.find(name);
        return it == seconds_.end() ? 0 : it->second;
    }
    void Line(int code, const char* label) const {
        std::printf("%2d %-13s", code < 0 ? 0 : code, label);
        for (const auto& s : kSizes) {
            const std::string size = SizeName(s[0], s[1]);
            const double floor = Seconds("memcpy/" + size);
            const double t = code < 0 ? floor : Seconds(std::string(label) + "/" + size);
            std::printf(" %13.0f %9.1f", t > 0 ? 1 / t : 0, floor > 0 ? t / floor : 0);
        }
        std::printf("\n");
    }
    std::map<std::string, double> seconds_;
};

}  // namespace

int main(int argc, char** argv) {
    for (const auto& s : kSizes) {
        const int w = s[0], h = s[1];
        benchmark::RegisterBenchmark(("memcpy/" + SizeName(w, h)).c_str(), RunMemcpy, w, h);
        for (int code = 0; code <= effects::kLastEffectCode; ++code)
            benchmark::RegisterBenchmark((std::string(effects::EffectName(code)) + "/" + SizeName(w, h)).c_str(),
                                         RunEffect, code, w, h);
    }
    benchmark::Initialize(&argc, argv);
    TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintTable();
    return 0;
}
