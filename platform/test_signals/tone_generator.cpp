#include "test_signals/tone_generator.h"

#include <cmath>

namespace test_signals {
namespace {

constexpr double kTwoPi = 6.283185307179586476925286766559;

}  // namespace

std::optional<ToneGenerator> ToneGenerator::Create(const ToneOptions& o) {
    const double nyquist = o.sample_rate / 2.0;
    const bool frequencies_ok = o.frequency > 0 && o.frequency < nyquist &&
                                (o.channels == 1 || (o.right_frequency > 0 && o.right_frequency < nyquist));
    if (o.sample_rate <= 0 || (o.channels != 1 && o.channels != 2) || !frequencies_ok ||
        !(o.amplitude >= 0 && o.amplitude <= 1)) {
        return std::nullopt;
    }
    return ToneGenerator(o);
}

// The phase is taken from the position, reduced to whole cycles in integer
// arithmetic first, so it stays exact over hours and does not depend on how
// the stream was cut into buffers.
int16_t ToneGenerator::SampleAt(uint64_t position, int channel) const {
    const double frequency = channel == 0 ? options_.frequency : options_.right_frequency;
    const uint64_t rate = static_cast<uint64_t>(options_.sample_rate);
    // Whole seconds contribute whole cycles when the frequency is a whole
    // number; only the remainder within the second needs floating point.
    const double whole_hz = std::floor(frequency);
    const double in_second = static_cast<double>(position % rate);
    const double seconds = static_cast<double>(position / rate);
    double cycles = (whole_hz * in_second) / static_cast<double>(rate) +
                    (frequency - whole_hz) * (seconds + in_second / static_cast<double>(rate));
    cycles -= std::floor(cycles);
    return static_cast<int16_t>(std::lround(options_.amplitude * 32767.0 * std::sin(kTwoPi * cycles)));
}

void ToneGenerator::Fill(int16_t* samples, size_t frames) {
    const int channels = options_.channels;
    for (size_t i = 0; i < frames; ++i, ++position_) {
        for (int c = 0; c < channels; ++c) samples[i * channels + c] = SampleAt(position_, c);
    }
}

size_t ToneGenerator::FillBytes(uint8_t* buffer, size_t capacity) {
    const size_t frames = capacity / BytesPerFrame();
    uint8_t* out = buffer;
    for (size_t i = 0; i < frames; ++i, ++position_) {
        for (int c = 0; c < options_.channels; ++c) {
            const uint16_t v = static_cast<uint16_t>(SampleAt(position_, c));
            *out++ = static_cast<uint8_t>(v & 0xFF);
            *out++ = static_cast<uint8_t>(v >> 8);
        }
    }
    return frames * BytesPerFrame();
}

int64_t ToneGenerator::TimeOf(uint64_t position) const {
    const uint64_t rate = static_cast<uint64_t>(options_.sample_rate);
    // Split to keep position * 10^7 from overflowing on long streams.
    return static_cast<int64_t>(position / rate * 10000000u + position % rate * 10000000u / rate);
}

}  // namespace test_signals
