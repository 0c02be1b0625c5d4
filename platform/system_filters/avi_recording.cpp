#include "system_filters/avi_recording.h"

#include <algorithm>
#include <utility>

namespace avi {

AviRecording::AviRecording(std::vector<StreamInfo> streams, ByteSink* sink, const RecordingOptions& options)
    : writer_(std::move(streams), sink, options.fileLimit),
      interleaver_(writer_.Streams().size(), options.interleaveSpan, options.maxBufferedBytes),
      nextTime_(writer_.Streams().size(), 0),
      ended_(writer_.Streams().size(), false) {}

bool AviRecording::Start() { return writer_.Begin(); }

ChunkTime AviRecording::Estimate(size_t stream, size_t size, ChunkTime time) {
    const StreamInfo& info = writer_.Streams()[stream];
    if (info.kind == StreamKind::kAudio) {
        AudioFields audio;
        ReadAudioFields(info.format, &audio);
        const int64_t duration = static_cast<int64_t>(size) * kUnitsPerSecond / audio.avgBytesPerSec;
        if (!time.valid) time.start = nextTime_[stream];
        if (!time.valid || time.stop <= time.start) time.stop = time.start + duration;
    } else {
        const int64_t duration = info.frameDuration > 0 ? info.frameDuration : kFallbackFrameDuration;
        if (!time.valid) time.start = nextTime_[stream];
        if (!time.valid || time.stop <= time.start) time.stop = time.start + duration;
    }
    nextTime_[stream] = time.stop;
    return time;
}

SampleResult AviRecording::Add(size_t stream, const uint8_t* data, size_t size, bool keyframe, ChunkTime time) {
    if (stream >= ended_.size() || ended_[stream] || closed_) return SampleResult::kStreamClosed;
    if (writer_.Failed()) return SampleResult::kFailed;
    const bool timed = time.valid;
    time = Estimate(stream, size, time);
    if (!anyTime_ || time.start < earliest_) earliest_ = time.start;
    if (!anyTime_ || time.stop > latest_) latest_ = time.stop;
    anyTime_ = true;

    PendingChunk chunk;
    chunk.stream = stream;
    chunk.time = time.start;
    chunk.stop = time.stop;
    chunk.timed = timed;
    chunk.keyframe = keyframe;
    chunk.data.assign(data, data + size);
    interleaver_.Push(std::move(chunk));
    return WriteReady(false);
}

SampleResult AviRecording::WriteReady(bool all) {
    PendingChunk chunk;
    while (all ? interleaver_.PopAny(&chunk) : interleaver_.PopReady(&chunk)) {
        const SampleResult result = Write(chunk);
        if (result != SampleResult::kAccepted) return result;
    }
    return SampleResult::kAccepted;
}

SampleResult AviRecording::Write(const PendingChunk& chunk) {
    const ChunkTime time{chunk.timed, chunk.time, chunk.stop};
    switch (writer_.WriteChunk(chunk.stream, chunk.data.data(), chunk.data.size(), chunk.keyframe, time)) {
    case ChunkResult::kWritten:
        return SampleResult::kAccepted;
    case ChunkResult::kFileFull:
        // What is still queued is later than what did not fit: it goes too.
        interleaver_.Clear();
        Close();
        return SampleResult::kFileFull;
    case ChunkResult::kFailed:
        break;
    }
    return SampleResult::kFailed;
}

bool AviRecording::EndStream(size_t stream) {
    if (stream >= ended_.size() || closed_) return false;
    ended_[stream] = true;
    interleaver_.EndStream(stream);
    WriteReady(false);
    if (!std::all_of(ended_.begin(), ended_.end(), [](bool e) { return e; })) return false;
    Close();
    return true;
}

bool AviRecording::Close() {
    const bool written = Flush();
    closed_ = true;
    return written;
}

bool AviRecording::Flush() {
    if (writer_.Failed()) return false;
    const SampleResult drained = WriteReady(true);
    if (drained == SampleResult::kFailed) return false;
    // A full file was closed off while draining.
    if (drained == SampleResult::kFileFull) return !writer_.Failed();
    return writer_.WriteTrailer();
}

int64_t AviRecording::RecordedTime() const { return anyTime_ ? latest_ - earliest_ : 0; }

}  // namespace avi
