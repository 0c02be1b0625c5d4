// The signal of our fake microphone: a sine tone as 16-bit signed PCM,
// interleaved when stereo. The right channel may carry its own frequency so a
// test can tell the channels apart.
//
// Samples depend only on their position in the stream, so a stream filled in
// buffers of any lengths is the same stream, with no phase jump between them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace test_signals {

struct ToneOptions {
    int sample_rate = 44100;
    int channels = 1;               // 1 or 2
    double frequency = 440.0;       // Hz, left (or only) channel
    double right_frequency = 660.0; // Hz, second channel when stereo
    double amplitude = 0.5;         // peak, as a fraction of full scale (0..1)
};

class ToneGenerator {
public:
    // Nothing for an unusable option: rate or frequency not positive, a
    // frequency at or above half the rate, channels other than 1 or 2,
    // amplitude outside 0..1.
    static std::optional<ToneGenerator> Create(const ToneOptions& options);

    const ToneOptions& options() const { return options_; }
    int BytesPerFrame() const { return 2 * options_.channels; }

    // Writes `frames` sample frames (frames * channels values) and advances.
    void Fill(int16_t* samples, size_t frames);
    // Writes as many whole frames as fit in `capacity` bytes, little-endian
    // as WAVE_FORMAT_PCM wants; returns the bytes written.
    size_t FillBytes(uint8_t* buffer, size_t capacity);

    // Frames generated so far; the next Fill starts at this position.
    uint64_t position() const { return position_; }
    void Seek(uint64_t position) { position_ = position; }
    // Start time of frame `position` in 100 ns units (DirectShow REFERENCE_TIME).
    int64_t TimeOf(uint64_t position) const;

private:
    explicit ToneGenerator(const ToneOptions& options) : options_(options) {}
    int16_t SampleAt(uint64_t position, int channel) const;

    ToneOptions options_;
    uint64_t position_ = 0;
};

}  // namespace test_signals
