// The fake microphone's tone: right pitch per channel, seamless across
// buffers of any size, and timestamps that follow the sample count.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "test_signals/tone_generator.h"

namespace test_signals {
namespace {

ToneGenerator Make(const ToneOptions& options) {
    auto tone = ToneGenerator::Create(options);
    EXPECT_TRUE(tone.has_value());
    return *tone;
}

// Frequency from the rising zero crossings of one channel, each crossing
// placed between its two samples by linear interpolation.
double MeasureFrequency(const std::vector<int16_t>& samples, int channels, int channel, int rate) {
    double first = -1, last = -1;
    int crossings = 0;
    for (size_t i = channels + channel; i < samples.size(); i += channels) {
        const int a = samples[i - channels], b = samples[i];
        if (a < 0 && b >= 0) {
            const double at = (i / channels - 1) + static_cast<double>(-a) / (b - a);
            if (first < 0) first = at;
            last = at;
            ++crossings;
        }
    }
    if (crossings < 2) return 0;
    return (crossings - 1) * rate / (last - first);
}

std::vector<int16_t> Generate(ToneGenerator& tone, size_t frames) {
    std::vector<int16_t> samples(frames * tone.options().channels);
    tone.Fill(samples.data(), frames);
    return samples;
}

TEST(ToneGenerator, FrequencyMeasuredByZeroCrossings) {
    const struct {
        int rate;
        double frequency;
    } cases[] = {{44100, 440}, {48000, 1000}, {8000, 440}, {22050, 97.5}, {44100, 10000}};
    for (auto c : cases) {
        ToneOptions o;
        o.sample_rate = c.rate;
        o.frequency = c.frequency;
        ToneGenerator tone = Make(o);
        const double measured = MeasureFrequency(Generate(tone, 2 * c.rate), 1, 0, c.rate);
        EXPECT_NEAR(measured, c.frequency, c.frequency * 0.005) << c.rate << " Hz rate";
    }
}

TEST(ToneGenerator, StereoChannelsCarryTheirOwnFrequencies) {
    ToneOptions o;
    o.channels = 2;
    ToneGenerator tone = Make(o);
    const auto samples = Generate(tone, 44100);
    EXPECT_NEAR(MeasureFrequency(samples, 2, 0, 44100), 440.0, 2.2);
    EXPECT_NEAR(MeasureFrequency(samples, 2, 1, 44100), 660.0, 3.3);
}

TEST(ToneGenerator, BuffersOfAnyLengthJoinWithoutPhaseJump) {
    ToneOptions o;
    o.channels = 2;
    o.frequency = 441.7;  // not a whole number of cycles per buffer or per second
    ToneGenerator whole = Make(o);
    const size_t total = 3 * 44100 + 17;
    const auto reference = Generate(whole, total);

    ToneGenerator pieces = Make(o);
    std::vector<int16_t> joined;
    const size_t lengths[] = {1, 2, 3, 5, 441, 1023, 4410, 0, 7};
    for (size_t i = 0; joined.size() < reference.size(); ++i) {
        const size_t frames = std::min(lengths[i % 9], total - joined.size() / 2);
        const auto part = Generate(pieces, frames);
        joined.insert(joined.end(), part.begin(), part.end());
    }
    EXPECT_EQ(joined, reference);

    // Independently of the reference: no step between neighbours is larger
    // than the sine's steepest slope allows.
    const double max_step = 2 * 3.14159265 * o.right_frequency / o.sample_rate * o.amplitude * 32767 + 2;
    for (size_t i = 2; i < joined.size(); ++i) ASSERT_LE(std::abs(joined[i] - joined[i - 2]), max_step) << i;
}

TEST(ToneGenerator, ByteFillsWriteWholeLittleEndianFrames) {
    ToneOptions o;
    o.channels = 2;
    ToneGenerator bytes_tone = Make(o);
    ToneGenerator sample_tone = Make(o);
    std::vector<uint8_t> buffer(11, 0xEE);  // room for 2 frames and 3 spare bytes
    EXPECT_EQ(bytes_tone.FillBytes(buffer.data(), buffer.size()), 8u);
    EXPECT_EQ(bytes_tone.position(), 2u);
    const auto samples = Generate(sample_tone, 2);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(static_cast<int16_t>(buffer[2 * i] | buffer[2 * i + 1] << 8), samples[i]);
    }
    EXPECT_EQ(buffer[8], 0xEE);
    EXPECT_EQ(bytes_tone.FillBytes(buffer.data(), 3), 0u);  // less than one frame
}

TEST(ToneGenerator, AmplitudeSetsThePeak) {
    for (double amplitude : {0.0, 0.25, 1.0}) {
        ToneOptions o;
        o.amplitude = amplitude;
        ToneGenerator tone = Make(o);
        const auto samples = Generate(tone, 44100);
        const auto [lo, hi] = std::minmax_element(samples.begin(), samples.end());
        EXPECT_NEAR(*hi, amplitude * 32767, 2);
        EXPECT_NEAR(*lo, -amplitude * 32767, 2);
    }
}

TEST(ToneGenerator, PositionGivesTimestamps) {
    ToneGenerator tone = Make({});
    std::vector<int16_t> buffer(1000);
    tone.Fill(buffer.data(), 1000);
    tone.Fill(buffer.data(), 470);
    EXPECT_EQ(tone.position(), 1470u);
    EXPECT_EQ(tone.TimeOf(tone.position()), 333333);  // 1470 / 44100 s = 1/30 s in 100 ns units
    EXPECT_EQ(tone.TimeOf(44100), 10000000);
    // Ten hours in, the time is still exact.
    EXPECT_EQ(tone.TimeOf(uint64_t{44100} * 36000), int64_t{360000000000});
}

TEST(ToneGenerator, PhaseDoesNotDriftOverAStreamOfYears) {
    ToneGenerator start = Make({});
    ToneGenerator later = Make({});
    later.Seek(uint64_t{44100} * 3600 * 24 * 3650);  // 440 Hz: whole cycles in every second
    EXPECT_EQ(Generate(later, 441), Generate(start, 441));
}

TEST(ToneGenerator, RejectsUnusableOptions) {
    auto with = [](auto change) {
        ToneOptions o;
        change(o);
        return ToneGenerator::Create(o).has_value();
    };
    EXPECT_TRUE(with([](ToneOptions&) {}));
    EXPECT_FALSE(with([](ToneOptions& o) { o.channels = 3; }));
    EXPECT_FALSE(with([](ToneOptions& o) { o.channels = 0; }));
    EXPECT_FALSE(with([](ToneOptions& o) { o.sample_rate = 0; }));
    EXPECT_FALSE(with([](ToneOptions& o) { o.frequency = 22050; }));
    EXPECT_FALSE(with([](ToneOptions& o) { o.frequency = -1; }));
    EXPECT_FALSE(with([](ToneOptions& o) { o.amplitude = 1.5; }));
    EXPECT_FALSE(with([](ToneOptions& o) { o.channels = 2; o.right_frequency = 30000; }));
    EXPECT_TRUE(with([](ToneOptions& o) { o.right_frequency = 30000; }));  // unused in mono
}

}  // namespace
}  // namespace test_signals
