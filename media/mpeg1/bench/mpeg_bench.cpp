// Encoder speed on one core. The video benchmarks also run ffmpeg's own
// mpeg1video encoder (single-threaded, same GOP, no B pictures) on the same
// frames at the fixed quantiser whose PSNR comes closest to ours from above,
// and report time and size ratios ours/ffmpeg. ffmpeg's process start-up is
// taken out by timing a one-frame run and subtracting it.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cmath>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "media/mpeg1/audio/audio_encoder.h"
#include "media/mpeg1/tests/media_tools.h"
#include "media/mpeg1/tests/synthetic_video.h"
#include "media/mpeg1/video/pixel_ops.h"
#include "media/mpeg1/video/video_encoder.h"

namespace {

using namespace mpeg;

constexpr int kFrames = 60;

struct Clip {
    int width, height;
    std::vector<std::vector<uint8_t>> frames;
    std::string raw_path;
};

const Clip& GetClip(int width, int height) {
    static std::vector<Clip*> clips;
    for (Clip* c : clips)
        if (c->width == width && c->height == height) return *c;
    Clip* c = new Clip{width, height, {}, testing::ScratchPath("clip" + std::to_string(width) + ".yuv")};
    std::vector<uint8_t> raw;
    for (int f = 0; f < kFrames; ++f) {
        c->frames.push_back(testing::SyntheticFrame(width, height, f));
        raw.insert(raw.end(), c->frames.back().begin(), c->frames.back().end());
    }
    testing::WriteFile(c->raw_path, raw);
    clips.push_back(c);
    return *c;
}

std::vector<uint8_t> EncodeOurs(const Clip& clip, int quality) {
    VideoEncoderConfig config;
    config.input = {pixel_formats::PixelFormat::kI420, clip.width, clip.height, 0};
    config.quality = quality;
    auto encoder = VideoEncoder::Create(config);
    std::vector<uint8_t> stream;
    for (const auto& frame : clip.frames) {
        EncodedPicture p;
        encoder->Encode(frame.data(), frame.size(), &p);
        stream.insert(stream.end(), p.data, p.data + p.size);
    }
    const std::vector<uint8_t> end = encoder->Finish();
    stream.insert(stream.end(), end.begin(), end.end());
    return stream;
}

// Mean luma PSNR of a decoded file against the clip.
double MeanPsnr(const Clip& clip, const std::string& path) {
    std::string warnings;
    const std::vector<uint8_t> raw = testing::DecodeVideo(path, &warnings);
    const size_t frame = clip.frames[0].size(), luma = static_cast<size_t>(clip.width) * clip.height;
    double mse_sum = 0;
    int n = 0;
    for (size_t f = 0; (f + 1) * frame <= raw.size() && f < clip.frames.size(); ++f, ++n) {
        const double psnr = testing::Psnr(raw.data() + f * frame, clip.frames[f].data(), luma);
        mse_sum += 255.0 * 255.0 / std::pow(10.0, psnr / 10);
    }
    return n ? 10 * std::log10(255.0 * 255.0 / (mse_sum / n)) : 0;
}

double ChildCpuSeconds() {
    rusage u;
    getrusage(RUSAGE_CHILDREN, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-6;
}

// CPU seconds of one ffmpeg encode of `frames` frames (the clip looped) at -q:v q.
double FfmpegEncode(const Clip& clip, int q, int frames, const std::string& out) {
    const std::string cmd = "ffmpeg -nostdin -v error -y -threads 1 -stream_loop -1 -f rawvideo -pix_fmt yuv420p -s " +
                            std::to_string(clip.width) + "x" + std::to_string(clip.height) + " -r 30 -i '" +
                            clip.raw_path + "' -frames:v " + std::to_string(frames) +
                            " -c:v mpeg1video -threads 1 -g 15 -bf 0 -q:v " + std::to_string(q) + " -f mpeg1video '" + out + "'";
    const double before = ChildCpuSeconds();
    testing::RunCommand(cmd);
    return ChildCpuSeconds() - before;
}

void BM_Video(benchmark::State& state) {
    const Clip& clip = GetClip(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    const int quality = static_cast<int>(state.range(2));
    const double cpu_before = std::clock();
    for (auto _ : state) benchmark::DoNotOptimize(EncodeOurs(clip, quality));
    const double our_seconds_per_frame = (std::clock() - cpu_before) / CLOCKS_PER_SEC / (state.iterations() * kFrames);
    state.SetItemsProcessed(state.iterations() * kFrames);

    const std::string ours_path = testing::ScratchPath("ours.m1v");
    const std::vector<uint8_t> ours = EncodeOurs(clip, quality);
    testing::WriteFile(ours_path, ours);
    const double our_psnr = MeanPsnr(clip, ours_path);

    // The coarsest ffmpeg quantiser that still reaches our PSNR.
    const std::string theirs_path = testing::ScratchPath("theirs.m1v");
    int q = 31;
    double their_psnr = 0;
    for (; q >= 1; --q) {
        FfmpegEncode(clip, q, kFrames, theirs_path);
        their_psnr = MeanPsnr(clip, theirs_path);
        if (their_psnr >= our_psnr) break;
    }
    FILE* f = std::fopen(theirs_path.c_str(), "rb");
    std::fseek(f, 0, SEEK_END);
    const double their_size = static_cast<double>(std::ftell(f));
    std::fclose(f);
    // Enough frames that process start-up, subtracted anyway, is small.
    const int timed_frames = kFrames * (clip.width >= 640 ? 5 : 20);
    double best = 1e9;
    for (int run = 0; run < 3; ++run) {
        const double all = FfmpegEncode(clip, q, timed_frames, testing::ScratchPath("timed.m1v"));
        const double one = FfmpegEncode(clip, q, 1, testing::ScratchPath("one.m1v"));
        best = std::min(best, (all - one) / (timed_frames - 1));
    }
    state.counters["psnr"] = our_psnr;
    state.counters["kB"] = ours.size() / 1024.0;
    state.counters["ffmpeg_q"] = q;
    state.counters["ffmpeg_psnr"] = their_psnr;
    state.counters["ffmpeg_fps"] = 1.0 / best;
    state.counters["ffmpeg_kB"] = their_size / 1024.0;
    state.counters["size_ratio"] = ours.size() / their_size;
    state.counters["fps"] = 1.0 / our_seconds_per_frame;
    state.counters["time_ratio"] = our_seconds_per_frame / best;
}

// The scalar kernels alone: what an i686 without SSE2 runs.
void BM_VideoScalar(benchmark::State& state) {
    const Clip& clip = GetClip(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    video::SetSimdEnabled(false);
    for (auto _ : state) benchmark::DoNotOptimize(EncodeOurs(clip, 1));
    video::SetSimdEnabled(true);
    state.SetItemsProcessed(state.iterations() * kFrames);
}

void BM_Audio(benchmark::State& state) {
    const int channels = static_cast<int>(state.range(0));
    constexpr int kRate = 44100, kSeconds = 5;
    std::vector<int16_t> pcm(static_cast<size_t>(kRate) * kSeconds * channels);
    for (size_t i = 0; i < pcm.size(); ++i)
        pcm[i] = static_cast<int16_t>(12000 * std::sin(i * 0.031) + 3000 * std::sin(i * 0.47));
    size_t bytes = 0;
    for (auto _ : state) {
        auto encoder = AudioEncoder::Create({kRate, channels, 0});
        auto sink = [&bytes](const EncodedAudioFrame& f) { bytes += f.size; };
        encoder->Encode(pcm.data(), pcm.size() / channels, sink);
        encoder->Flush(sink);
    }
    state.counters["realtime_x"] =
        benchmark::Counter(kSeconds * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    benchmark::DoNotOptimize(bytes);
}

}  // namespace

BENCHMARK(BM_Video)->Args({320, 240, 1})->Args({640, 480, 1})->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_VideoScalar)->Args({640, 480})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Audio)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
