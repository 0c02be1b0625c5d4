// The sound formats a test microphone offers and the timing of its buffers:
// 16-bit PCM at 44.1 kHz, stereo (the default) or mono, in buffers of 50 ms.
#pragma once

#include <cstdint>

namespace test_devices {

constexpr int kSampleRate = 44100;
constexpr int kBitsPerSample = 16;
constexpr int kBufferMilliseconds = 50;
constexpr int kToneFrequency = 440;
// Capability order; the first is the default.
constexpr int kChannelChoices[] = {2, 1};

struct AudioMode {
    int channels = 2;
};

inline int BlockAlign(const AudioMode& m) { return m.channels * kBitsPerSample / 8; }
inline int BytesPerSecond(const AudioMode& m) { return kSampleRate * BlockAlign(m); }

// Sample frames per buffer: 2205 at 44.1 kHz.
constexpr int kBufferFrames = kSampleRate * kBufferMilliseconds / 1000;

}  // namespace test_devices
