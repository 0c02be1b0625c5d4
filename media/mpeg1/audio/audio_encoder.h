// MPEG-1 Audio Layer II encoder (ISO/IEC 11172-3) for 16-bit PCM, mono or
// stereo, at 32, 44.1 or 48 kHz.
//
// Usage: Create, feed PCM in whatever chunks arrive (EncodeBytes even takes
// chunks that split a sample), and Flush at the end, which pads the last
// frame with silence. Each finished frame goes to the sink at once with the
// index of its first input sample, from which the caller derives its time
// stamp: start time + first_sample / sample_rate. Not thread-safe.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

namespace mpeg {

struct AudioEncoderConfig {
    int sample_rate = 44100;  // 32000, 44100 or 48000
    int channels = 2;         // 1 or 2
    // bits/s, one of Layer II's rates allowed for the channel count
    // (mono 32k-192k, stereo 64k-384k); 0 = 128k mono, 192k stereo.
    int bit_rate = 0;
};

struct EncodedAudioFrame {
    const uint8_t* data = nullptr;  // valid during the sink call
    size_t size = 0;
    uint64_t first_sample = 0;  // per channel, counted from the first sample given
};

class AudioEncoder {
public:
    using FrameSink = std::function<void(const EncodedAudioFrame&)>;
    static constexpr int kSamplesPerFrame = 1152;
    // Samples a decoder's output lags its input (analysis plus synthesis filterbank).
    static constexpr int kDecoderDelaySamples = 481;

    // Nothing for an unsupported rate, channel count or bit rate.
    static std::unique_ptr<AudioEncoder> Create(const AudioEncoderConfig& config);
    ~AudioEncoder();
    AudioEncoder(const AudioEncoder&) = delete;
    AudioEncoder& operator=(const AudioEncoder&) = delete;

    int sample_rate() const;
    int channels() const;
    int bit_rate() const;

    // Interleaved samples; `sample_frames` counts one sample of every channel.
    void Encode(const int16_t* samples, size_t sample_frames, const FrameSink& sink);
    // Little-endian interleaved bytes as WAVE_FORMAT_PCM lays them out.
    void EncodeBytes(const uint8_t* data, size_t size, const FrameSink& sink);
    // Ends the stream: what is buffered goes out, padded with silence until
    // the decoder has played every sample. The next Encode starts afresh.
    void Flush(const FrameSink& sink);

private:
    struct State;
    explicit AudioEncoder(std::unique_ptr<State> state);
    std::unique_ptr<State> s_;
};

}  // namespace mpeg
