// MPEG-1 system stream multiplexer (ISO/IEC 11172-1): one video and
// optionally one audio elementary stream into packs of about 2 KB, with
// presentation time stamps taken from the callers' sample times and a system
// clock that never lets data arrive after it is due.
//
// Usage: Create with the streams the file will hold, Write elementary stream
// data as it comes (any chunk sizes, each with the DirectShow time of the
// first access unit beginning in it, or kNoTime), EndStream when a stream's
// pin sees end-of-stream, Finish once at the end for the remaining packs and
// the end code. Output goes to a MuxOutput as it is produced. Not
// thread-safe: a filter calls it under one lock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace mpeg {

class MuxOutput {
public:
    virtual ~MuxOutput() = default;
    // False (disk full, file closed) stops the multiplexer for good.
    virtual bool Write(const uint8_t* data, size_t size) = 0;
};

struct SystemMuxConfig {
    bool has_video = true;
    bool has_audio = false;
    // Ceilings from the encoders (bits/s): they set mux_rate, rate_bound and
    // the buffer bounds. 0 = assume 10 Mbit/s of video, 384 kbit/s of audio.
    int video_bit_rate = 0;
    int video_buffer_bits = 0;  // the video's vbv_buffer_size
    int audio_bit_rate = 0;
    int pack_size = 2048;  // 512..65535 bytes
    // Sample time (100 ns) that maps to the first presentation time; times
    // before it are clamped to it.
    int64_t time_origin = 0;
};

enum class StreamKind { kVideo, kAudio };

class SystemMux {
public:
    static constexpr int64_t kNoTime = INT64_MIN;
    // Decoders get this long (90 kHz ticks) between a byte's arrival and its
    // presentation: the first presentation time stamp is this plus the time
    // from time_origin.
    static constexpr int64_t kPreloadTicks = 45000;

    // Nothing for a configuration without streams or with a bad pack size.
    static std::unique_ptr<SystemMux> Create(const SystemMuxConfig& config, MuxOutput* output);
    ~SystemMux();
    SystemMux(const SystemMux&) = delete;
    SystemMux& operator=(const SystemMux&) = delete;

    // False once the output has failed, for a stream the configuration does
    // not have, or after Finish.
    bool Write(StreamKind stream, const uint8_t* data, size_t size, int64_t time);
    bool EndStream(StreamKind stream);
    // Sends everything queued and the end code (0x000001B9).
    bool Finish();

    bool failed() const;
    uint64_t bytes_written() const;

private:
    struct State;
    explicit SystemMux(std::unique_ptr<State> state);
    std::unique_ptr<State> s_;
};

}  // namespace mpeg
