// Recordings as the capture filters will make them: encoder output with
// DirectShow sample times through the multiplexer into a file that ffprobe
// and ffmpeg must read as an MPEG-1 system stream with both streams starting
// together. The pack layout is also walked here to check the clock rules a
// hardware player depends on and ffmpeg does not enforce.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "media/mpeg1/audio/audio_encoder.h"
#include "media/mpeg1/mux/system_mux.h"
#include "media/mpeg1/tests/media_tools.h"
#include "media/mpeg1/tests/synthetic_video.h"
#include "media/mpeg1/video/video_encoder.h"
#include "test_signals/tone_generator.h"

namespace mpeg {
namespace {

using pixel_formats::PixelFormat;

class VectorOutput : public MuxOutput {
public:
    bool Write(const uint8_t* data, size_t size) override {
        if (fail_after_ >= 0 && bytes.size() + size > static_cast<size_t>(fail_after_)) return false;
        bytes.insert(bytes.end(), data, data + size);
        ++writes;
        return true;
    }
    std::vector<uint8_t> bytes;
    int writes = 0;
    long fail_after_ = -1;
};

constexpr int64_t kSecond = 10000000;

struct Recording {
    int width = 320, height = 240, frames = 45;
    int64_t frame_duration = 333333;
    int64_t video_start = 0;
    bool audio = true;
    int sample_rate = 44100, channels = 2;
    int64_t audio_start = 0;
    size_t audio_chunk = 4410;  // sample frames per capture buffer
};

// Feeds both encoders in capture order (by time) and multiplexes their output.
std::vector<uint8_t> Record(const Recording& r, SystemMuxConfig* used = nullptr) {
    VideoEncoderConfig vc;
    vc.input = {PixelFormat::kI420, r.width, r.height, 0};
    vc.frame_duration = r.frame_duration;
    auto video = VideoEncoder::Create(vc);
    auto audio = AudioEncoder::Create({r.sample_rate, r.channels, 0});
    SystemMuxConfig mc;
    mc.has_audio = r.audio;
    mc.video_bit_rate = video->bit_rate();
    mc.video_buffer_bits = video->buffer_size_bits();
    mc.audio_bit_rate = audio->bit_rate();
    if (used) *used = mc;
    VectorOutput out;
    auto mux = SystemMux::Create(mc, &out);
    test_signals::ToneOptions tone;
    tone.sample_rate = r.sample_rate;
    tone.channels = r.channels;
    auto generator = test_signals::ToneGenerator::Create(tone);
    auto audio_sink = [&](const EncodedAudioFrame& f) {
        const int64_t t = r.audio_start + static_cast<int64_t>(f.first_sample) * kSecond / r.sample_rate;
        EXPECT_TRUE(mux->Write(StreamKind::kAudio, f.data, f.size, t));
    };
    const int64_t video_end = r.video_start + r.frames * r.frame_duration;
    int frame = 0;
    std::vector<int16_t> pcm(r.audio_chunk * r.channels);
    while (frame < r.frames || (r.audio && generator->TimeOf(generator->position()) + r.audio_start < video_end)) {
        const int64_t video_time = r.video_start + frame * r.frame_duration;
        const int64_t audio_time = r.audio_start + generator->TimeOf(generator->position());
        if (frame < r.frames && (!r.audio || video_time <= audio_time)) {
            const std::vector<uint8_t> image = testing::SyntheticFrame(r.width, r.height, frame);
            EncodedPicture picture;
            EXPECT_TRUE(video->Encode(image.data(), image.size(), &picture));
            EXPECT_TRUE(mux->Write(StreamKind::kVideo, picture.data, picture.size, video_time));
            ++frame;
        } else {
            generator->Fill(pcm.data(), r.audio_chunk);
            audio->Encode(pcm.data(), r.audio_chunk, audio_sink);
        }
    }
    const std::vector<uint8_t> end = video->Finish();
    EXPECT_TRUE(mux->Write(StreamKind::kVideo, end.data(), end.size(), SystemMux::kNoTime));
    EXPECT_TRUE(mux->EndStream(StreamKind::kVideo));
    if (r.audio) {
        audio->Flush(audio_sink);
        EXPECT_TRUE(mux->EndStream(StreamKind::kAudio));
    }
    EXPECT_TRUE(mux->Finish());
    EXPECT_EQ(mux->bytes_written(), out.bytes.size());
    return out.bytes;
}

double Number(const std::map<std::string, std::string>& m, const std::string& key) {
    auto it = m.find(key);
    return it == m.end() ? -1e9 : std::atof(it->second.c_str());
}

TEST(SystemMux, RecordingIsAnMpeg1SystemStreamBothStreamsStartTogether) {
    Recording r;
    r.audio_start = 200000;  // the microphone's first buffer 20 ms after the camera's first frame
    const std::vector<uint8_t> file = Record(r);
    const std::string path = testing::ScratchPath("recording.mpg");
    testing::WriteFile(path, file);
    testing::ProbeResult probe = testing::Probe(path);
    EXPECT_EQ(probe.errors, "");
    EXPECT_EQ(probe.format["format_name"], "mpeg");
    EXPECT_EQ(Number(probe.format, "size"), static_cast<double>(file.size()));
    ASSERT_EQ(probe.streams.size(), 2u);
    auto& v = probe.streams[0]["codec_type"] == "video" ? probe.streams[0] : probe.streams[1];
    auto& a = probe.streams[0]["codec_type"] == "video" ? probe.streams[1] : probe.streams[0];
    EXPECT_EQ(v["codec_name"], "mpeg1video");
    EXPECT_EQ(v["width"], "320");
    EXPECT_EQ(v["height"], "240");
    EXPECT_EQ(v["nb_read_frames"], std::to_string(r.frames));
    EXPECT_EQ(a["codec_name"], "mp2");
    EXPECT_EQ(a["sample_rate"], "44100");
    EXPECT_EQ(a["channels"], "2");
    const double video_start = Number(v, "start_time"), audio_start = Number(a, "start_time");
    EXPECT_NEAR(video_start, 0.5, 0.01);  // the preload
    EXPECT_NEAR(audio_start - video_start, 0.02, 0.005);
    EXPECT_NEAR(Number(probe.format, "duration"), 1.5, 0.1);

    std::string warnings;
    const std::vector<uint8_t> pictures = testing::DecodeVideo(path, &warnings);
    EXPECT_EQ(warnings, "");
    EXPECT_EQ(pictures.size(), static_cast<size_t>(r.frames) * 320 * 240 * 3 / 2);
    const std::vector<int16_t> sound = testing::DecodeAudio(path, 2, &warnings);
    EXPECT_EQ(warnings, "");
    EXPECT_NEAR(sound.size() / 2.0 / 44100, 1.5, 0.1);
}

TEST(SystemMux, VideoOnlyAndOddFrameRatesProbeCleanly) {
    Recording r;
    r.audio = false;
    r.width = 176;
    r.height = 144;
    r.frames = 25;
    r.frame_duration = 400000;
    r.video_start = 3 * kSecond;  // recording started a while after the graph ran
    const std::vector<uint8_t> file = Record(r);
    const std::string path = testing::ScratchPath("video_only.mpg");
    testing::WriteFile(path, file);
    testing::ProbeResult probe = testing::Probe(path);
    EXPECT_EQ(probe.errors, "");
    EXPECT_EQ(probe.format["format_name"], "mpeg");
    ASSERT_EQ(probe.streams.size(), 1u);
    EXPECT_EQ(probe.streams[0]["r_frame_rate"], "25/1");
    EXPECT_EQ(probe.streams[0]["nb_read_frames"], "25");
    EXPECT_NEAR(Number(probe.streams[0], "start_time"), 3.5, 0.01);
}

// --- the pack layer, walked by hand ----------------------------------------

int64_t ReadTimestamp(const uint8_t* p) {
    return (static_cast<int64_t>((p[0] >> 1) & 7) << 30) | (static_cast<int64_t>(p[1]) << 22) |
           (static_cast<int64_t>(p[2] >> 1) << 15) | (static_cast<int64_t>(p[3]) << 7) | (p[4] >> 1);
}

struct PackWalk {
    int packs = 0, system_headers = 0, video_packets = 0, audio_packets = 0;
    bool ends_with_end_code = false;
    std::string fault;
};

PackWalk Walk(const std::vector<uint8_t>& f, int pack_size) {
    PackWalk w;
    size_t i = 0;
    int64_t last_scr = -1;
    size_t last_pack_bytes = 0;
    int64_t rate = 0;
    auto code_at = [&](size_t at) { return at + 4 <= f.size() && f[at] == 0 && f[at + 1] == 0 && f[at + 2] == 1 ? f[at + 3] : -1; };
    while (i < f.size() && w.fault.empty()) {
        if (code_at(i) == 0xB9) {
            w.ends_with_end_code = i + 4 == f.size();
            break;
        }
        if (code_at(i) != 0xBA) {
            w.fault = "no pack start at " + std::to_string(i);
            break;
        }
        const size_t pack_start = i;
        const int64_t scr = ReadTimestamp(&f[i + 4]);
        rate = ((f[i + 9] & 0x7F) << 15 | f[i + 10] << 7 | f[i + 11] >> 1) * 50;
        if (last_scr >= 0 && scr < last_scr + static_cast<int64_t>(last_pack_bytes) * 90000 / rate)
            w.fault = "pack " + std::to_string(w.packs) + " starts before the previous one is delivered";
        last_scr = scr;
        i += 12;
        ++w.packs;
        while (w.fault.empty() && code_at(i) >= 0xBB) {
            const int id = code_at(i);
            const size_t length = f[i + 4] << 8 | f[i + 5];
            if (id == 0xBB) {
                ++w.system_headers;
                i += 6 + length;
                continue;
            }
            size_t h = i + 6;
            while (f[h] == 0xFF) ++h;
            if ((f[h] & 0xC0) == 0x40) h += 2;
            if ((f[h] & 0xF0) == 0x20) {
                // Data must be in the decoder before it is due.
                if (ReadTimestamp(&f[h]) < scr) w.fault = "presentation before arrival in pack " + std::to_string(w.packs);
            }
            (id == 0xE0 ? w.video_packets : w.audio_packets)++;
            i += 6 + length;
        }
        last_pack_bytes = i - pack_start;
        if (static_cast<int>(last_pack_bytes) > pack_size) w.fault = "pack larger than " + std::to_string(pack_size);
    }
    return w;
}

TEST(SystemMux, PacksFollowTheSystemClockRules) {
    Recording r;
    r.width = 160;
    r.height = 120;
    r.frames = 30;
    r.audio_chunk = 1000;
    const std::vector<uint8_t> file = Record(r);
    const PackWalk w = Walk(file, 2048);
    EXPECT_EQ(w.fault, "");
    EXPECT_EQ(w.system_headers, 1);
    EXPECT_GT(w.video_packets, 5);
    EXPECT_GT(w.audio_packets, 5);
    EXPECT_TRUE(w.ends_with_end_code);
}

// The same elementary streams cut into chunks of any size, each carrying the
// time of the first picture that begins in it, give the same file.
TEST(SystemMux, ChunkSizesDoNotChangeTheOutput) {
    VideoEncoderConfig vc;
    vc.input = {PixelFormat::kI420, 64, 48, 0};
    auto encoder = VideoEncoder::Create(vc);
    std::vector<uint8_t> stream;
    std::vector<size_t> starts;
    for (int f = 0; f < 40; ++f) {
        const std::vector<uint8_t> image = testing::SyntheticFrame(64, 48, f);
        EncodedPicture p;
        encoder->Encode(image.data(), image.size(), &p);
        // The picture's own start code follows any sequence and group headers.
        size_t at = 0;
        while (!(p.data[at] == 0 && p.data[at + 1] == 0 && p.data[at + 2] == 1 && p.data[at + 3] == 0)) ++at;
        starts.push_back(stream.size() + at);
        stream.insert(stream.end(), p.data, p.data + p.size);
    }
    auto mux_with = [&](std::vector<size_t> cuts) {
        VectorOutput out;
        auto mux = SystemMux::Create(SystemMuxConfig{}, &out);
        cuts.push_back(stream.size());
        size_t begin = 0;
        for (size_t end : cuts) {
            int64_t time = SystemMux::kNoTime;
            for (size_t k = 0; k < starts.size(); ++k) {
                if (starts[k] >= begin && starts[k] < end) {
                    time = static_cast<int64_t>(k) * 333333;
                    break;
                }
            }
            EXPECT_TRUE(mux->Write(StreamKind::kVideo, stream.data() + begin, end - begin, time));
            begin = end;
        }
        mux->Finish();
        return out.bytes;
    };
    const std::vector<size_t> per_picture(starts.begin() + 1, starts.end());
    std::vector<size_t> random_cuts;
    std::mt19937 rng(11);
    for (size_t at = 1 + rng() % 7; at < stream.size(); at += 1 + rng() % 700) random_cuts.push_back(at);
    std::vector<size_t> split_start_codes;
    for (size_t s : starts) if (s > 2) split_start_codes.push_back(s + 2);  // 00 00 | 01 00
    const std::vector<uint8_t> reference = mux_with(per_picture);
    EXPECT_EQ(mux_with(random_cuts), reference);
    EXPECT_EQ(mux_with(split_start_codes), reference);
    EXPECT_EQ(Walk(reference, 2048).fault, "");
}

TEST(SystemMux, WaitsForTheSlowerStreamOnlySoLong) {
    VectorOutput out;
    SystemMuxConfig config;
    config.has_audio = true;
    auto mux = SystemMux::Create(config, &out);
    std::vector<uint8_t> picture = {0, 0, 1, 0, 0x00, 0x0F, 0xFF, 0xF8};
    picture.resize(4000, 0x55);
    // Video only, while the audio stream is still silent: held back at first...
    for (int f = 0; f < 10; ++f) mux->Write(StreamKind::kVideo, picture.data(), picture.size(), f * 333333LL);
    EXPECT_EQ(out.bytes.size(), 0u);
    // ...but not beyond a second of its own time.
    for (int f = 10; f < 40; ++f) mux->Write(StreamKind::kVideo, picture.data(), picture.size(), f * 333333LL);
    EXPECT_GT(out.bytes.size(), 0u);
}

TEST(SystemMux, AFailingOutputStopsEverything) {
    VectorOutput out;
    out.fail_after_ = 5000;
    auto mux = SystemMux::Create(SystemMuxConfig{}, &out);
    std::vector<uint8_t> data(3000, 0x11);
    bool ok = true;
    for (int i = 0; i < 10 && ok; ++i) ok = mux->Write(StreamKind::kVideo, data.data(), data.size(), SystemMux::kNoTime);
    EXPECT_FALSE(ok);
    EXPECT_TRUE(mux->failed());
    const int writes = out.writes;
    EXPECT_FALSE(mux->Write(StreamKind::kVideo, data.data(), data.size(), 0));
    EXPECT_FALSE(mux->Finish());
    EXPECT_EQ(out.writes, writes);
    EXPECT_LE(out.bytes.size(), 5000u);
}

TEST(SystemMux, RefusesUnusableConfigurationsAndStreams) {
    VectorOutput out;
    SystemMuxConfig none;
    none.has_video = false;
    EXPECT_FALSE(SystemMux::Create(none, &out));
    SystemMuxConfig tiny;
    tiny.pack_size = 100;
    EXPECT_FALSE(SystemMux::Create(tiny, &out));
    EXPECT_FALSE(SystemMux::Create(SystemMuxConfig{}, nullptr));
    auto mux = SystemMux::Create(SystemMuxConfig{}, &out);
    const uint8_t byte = 0;
    EXPECT_FALSE(mux->Write(StreamKind::kAudio, &byte, 1, 0));  // not configured
    EXPECT_TRUE(mux->EndStream(StreamKind::kVideo));
    EXPECT_FALSE(mux->Write(StreamKind::kVideo, &byte, 1, 0));  // ended
    EXPECT_TRUE(mux->Finish());
    EXPECT_FALSE(mux->Finish());
}

}  // namespace
}  // namespace mpeg
