// The Layer II encoder's frames decoded by ffmpeg must give back the tones
// that went in: right pitch on every channel, low noise, the right length,
// and no decoder complaint, at every sample rate and across the allocation
// tables. Chunking of the input must not change a single output byte.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "media/mpeg1/audio/audio_encoder.h"
#include "media/mpeg1/audio/subband_analysis.h"
#include "media/mpeg1/tests/media_tools.h"
#include "test_signals/tone_generator.h"

namespace mpeg {
namespace {

constexpr double kPi = 3.14159265358979323846;

std::vector<int16_t> Tone(int rate, int channels, double left_hz, double right_hz, size_t frames) {
    test_signals::ToneOptions options;
    options.sample_rate = rate;
    options.channels = channels;
    options.frequency = left_hz;
    options.right_frequency = right_hz;
    options.amplitude = 0.5;
    auto generator = test_signals::ToneGenerator::Create(options);
    std::vector<int16_t> samples(frames * channels);
    generator->Fill(samples.data(), frames);
    return samples;
}

struct EncodedAudio {
    std::vector<uint8_t> stream;
    std::vector<size_t> frame_sizes;
    std::vector<uint64_t> first_samples;
};

EncodedAudio EncodeAll(const AudioEncoderConfig& config, const std::vector<int16_t>& pcm) {
    EncodedAudio out;
    auto encoder = AudioEncoder::Create(config);
    EXPECT_TRUE(encoder);
    if (!encoder) return out;
    auto sink = [&out](const EncodedAudioFrame& f) {
        out.stream.insert(out.stream.end(), f.data, f.data + f.size);
        out.frame_sizes.push_back(f.size);
        out.first_samples.push_back(f.first_sample);
    };
    encoder->Encode(pcm.data(), pcm.size() / config.channels, sink);
    encoder->Flush(sink);
    return out;
}

// Frequency from interpolated rising zero crossings of one channel.
double MeasureFrequency(const std::vector<int16_t>& pcm, int channels, int channel, int rate) {
    double first = -1, last = -1;
    int crossings = 0;
    const size_t frames = pcm.size() / channels;
    for (size_t i = frames / 10; i + 1 < frames * 9 / 10; ++i) {
        const double a = pcm[i * channels + channel], b = pcm[(i + 1) * channels + channel];
        if (a < 0 && b >= 0) {
            const double t = i + a / (a - b);
            if (first < 0) first = t;
            last = t;
            ++crossings;
        }
    }
    return crossings > 1 ? (crossings - 1) * rate / (last - first) : 0;
}

// Signal-to-noise ratio of the decoded channel against the input, after
// finding the decoder's delay.
double AlignedSnr(const std::vector<int16_t>& in, const std::vector<int16_t>& out, int channels, int channel) {
    const size_t frames = std::min(in.size(), out.size()) / channels;
    double best = -100;
    for (int delay = AudioEncoder::kDecoderDelaySamples - 8; delay <= AudioEncoder::kDecoderDelaySamples + 8; ++delay) {
        double signal = 0, noise = 0;
        for (size_t i = 2000; i + delay < frames - 2000; ++i) {
            const double s = in[i * channels + channel], d = out[(i + delay) * channels + channel] - s;
            signal += s * s;
            noise += d * d;
        }
        if (noise > 0) best = std::max(best, 10 * std::log10(signal / noise));
    }
    return best;
}

TEST(SubbandAnalysis, ToneLandsInItsOwnSubband) {
    constexpr int kRate = 48000;
    for (int band : {0, 3, 17, 30}) {
        const double hz = (band + 0.5) * kRate / 64.0;
        audio::SubbandAnalysis analysis;
        double energy[32] = {};
        float in[32], out[32];
        for (int block = 0; block < 200; ++block) {
            for (int i = 0; i < 32; ++i) in[i] = static_cast<float>(0.5 * std::sin(2 * kPi * hz * (block * 32 + i) / kRate));
            analysis.Process(in, out);
            if (block >= 20)
                for (int k = 0; k < 32; ++k) energy[k] += out[k] * out[k];
        }
        for (int k = 0; k < 32; ++k) {
            if (k == band) continue;
            EXPECT_LT(10 * std::log10(energy[k] / energy[band] + 1e-30), -60.0) << "tone in band " << band << ", leak into " << k;
        }
        // Peak subband amplitude follows the input amplitude (0.5).
        EXPECT_NEAR(std::sqrt(2 * energy[band] / 180), 0.5, 0.05) << band;
    }
}

struct ToneCase {
    int rate, channels, bit_rate;
    double left_hz, right_hz;
    double min_snr_db;
};

TEST(AudioEncoder, TonesDecodeAtTheirPitchWithLittleNoise) {
    const ToneCase cases[] = {
        {44100, 1, 0, 1000.0, 0, 50},       // 128 kbit/s, table B
        {48000, 2, 0, 440.0, 660.0, 50},    // 192 kbit/s, table A
        {32000, 2, 0, 523.25, 1250.0, 50},  // 192 kbit/s, table B
        {48000, 1, 48000, 700.0, 0, 40},    // table C
        {32000, 2, 64000, 300.0, 900.0, 40},  // table D
    };
    for (const ToneCase& c : cases) {
        const std::string name = std::to_string(c.rate) + "_" + std::to_string(c.channels) + "_" + std::to_string(c.bit_rate);
        const size_t frames = static_cast<size_t>(c.rate);  // one second
        const std::vector<int16_t> pcm = Tone(c.rate, c.channels, c.left_hz, c.right_hz, frames);
        const EncodedAudio encoded = EncodeAll({c.rate, c.channels, c.bit_rate}, pcm);
        const std::string path = testing::ScratchPath(name + ".mp2");
        testing::WriteFile(path, encoded.stream);
        std::string warnings;
        const std::vector<int16_t> decoded = testing::DecodeAudio(path, c.channels, &warnings);
        EXPECT_EQ(warnings, "") << name;
        // Every input sample comes out, after the filterbank delay, and less than a frame more.
        EXPECT_GE(decoded.size() / c.channels, frames + AudioEncoder::kDecoderDelaySamples) << name;
        EXPECT_LT(decoded.size() / c.channels, frames + AudioEncoder::kDecoderDelaySamples + 1152) << name;
        for (int ch = 0; ch < c.channels; ++ch) {
            const double want = ch == 0 ? c.left_hz : c.right_hz;
            EXPECT_NEAR(MeasureFrequency(decoded, c.channels, ch, c.rate), want, want * 0.01) << name << " ch" << ch;
            const double snr = AlignedSnr(pcm, decoded, c.channels, ch);
            EXPECT_GE(snr, c.min_snr_db) << name << " ch" << ch;
            std::printf("%s ch%d: SNR %.1f dB\n", name.c_str(), ch, snr);
        }
        testing::ProbeResult probe = testing::Probe(path);
        ASSERT_EQ(probe.streams.size(), 1u) << name;
        EXPECT_EQ(probe.streams[0]["codec_name"], "mp2");
        EXPECT_EQ(probe.streams[0]["sample_rate"], std::to_string(c.rate));
        EXPECT_EQ(probe.streams[0]["channels"], std::to_string(c.channels));
    }
}

TEST(AudioEncoder, FramesKeepTheAverageLengthOfTheBitRate) {
    // 44.1 kHz needs padded frames now and then: 144 * 192000 / 44100 = 626.94 bytes.
    const std::vector<int16_t> pcm = Tone(44100, 2, 440, 880, 44100 * 2);
    const EncodedAudio e = EncodeAll({44100, 2, 192000}, pcm);
    size_t total = 0;
    for (size_t i = 0; i < e.frame_sizes.size(); ++i) {
        EXPECT_TRUE(e.frame_sizes[i] == 626 || e.frame_sizes[i] == 627) << i;
        EXPECT_EQ(e.first_samples[i], i * 1152);
        total += e.frame_sizes[i];
        const double exact = 144.0 * 192000 / 44100 * (i + 1);
        EXPECT_LE(std::fabs(total - exact), 1.0) << i;
    }
    // 48 kHz divides evenly: no padding at all.
    const EncodedAudio even = EncodeAll({48000, 1, 128000}, Tone(48000, 1, 440, 0, 20000));
    for (size_t size : even.frame_sizes) EXPECT_EQ(size, 384u);
}

TEST(AudioEncoder, ChunkingOfTheInputChangesNoOutputByte) {
    const std::vector<int16_t> pcm = Tone(48000, 2, 440, 660, 10000);
    const EncodedAudio whole = EncodeAll({48000, 2, 0}, pcm);
    auto encoder = AudioEncoder::Create({48000, 2, 0});
    std::vector<uint8_t> chunked;
    auto sink = [&](const EncodedAudioFrame& f) { chunked.insert(chunked.end(), f.data, f.data + f.size); };
    std::vector<uint8_t> bytes(pcm.size() * 2);
    for (size_t i = 0; i < pcm.size(); ++i) {
        bytes[2 * i] = static_cast<uint8_t>(pcm[i] & 0xFF);
        bytes[2 * i + 1] = static_cast<uint8_t>((pcm[i] >> 8) & 0xFF);
    }
    std::mt19937 rng(5);
    for (size_t pos = 0; pos < bytes.size();) {
        const size_t n = std::min<size_t>(rng() % 3000 + 1, bytes.size() - pos);  // odd sizes split samples
        encoder->EncodeBytes(bytes.data() + pos, n, sink);
        pos += n;
    }
    encoder->Flush(sink);
    EXPECT_EQ(chunked, whole.stream);
}

TEST(AudioEncoder, RefusesUnsupportedFormats) {
    EXPECT_TRUE(AudioEncoder::Create({44100, 2, 0}));
    EXPECT_TRUE(AudioEncoder::Create({32000, 1, 32000}));
    EXPECT_TRUE(AudioEncoder::Create({48000, 2, 384000}));
    const AudioEncoderConfig bad[] = {{22050, 2, 0},      {44100, 3, 0},      {44100, 0, 0},     {48000, 2, 32000},
                                      {48000, 2, 80000},  {48000, 1, 224000}, {44100, 1, 100000}, {44100, 1, -1}};
    for (const AudioEncoderConfig& c : bad)
        EXPECT_FALSE(AudioEncoder::Create(c)) << c.sample_rate << " " << c.channels << " " << c.bit_rate;
}

}  // namespace
}  // namespace mpeg
