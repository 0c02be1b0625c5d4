// One recording into an AVI file: samples of live streams in, interleaved
// chunks out, and the file closed off whenever the caller asks (the filter
// does so when the graph leaves the running state) or every stream ends.
//
// Samples without time stamps get estimated ones: a frame duration after the
// previous frame, or the position of the sound's bytes at its format's rate.
// Not thread-safe: the caller serialises every call.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "system_filters/avi_interleaver.h"
#include "system_filters/avi_writer_core.h"

namespace avi {

struct RecordingOptions {
    int64_t interleaveSpan = kUnitsPerSecond;
    size_t maxBufferedBytes = 32u << 20;
    uint64_t fileLimit = AviWriter::kRiffFileLimit;
};

enum class SampleResult {
    kAccepted,
    kStreamClosed,  // after the stream's end or the recording's close: dropped
    kFileFull,      // the file reached its size limit and is now closed
    kFailed,        // writing failed; the file may be incomplete
};

class AviRecording {
public:
    AviRecording(std::vector<StreamInfo> streams, ByteSink* sink, const RecordingOptions& options = {});

    // Writes the (empty, complete) file; false when the streams are unusable
    // or the write failed.
    bool Start();

    SampleResult Add(size_t stream, const uint8_t* data, size_t size, bool keyframe, ChunkTime time);
    // True when this was the last stream still open: the file is then closed.
    bool EndStream(size_t stream);
    // Writes everything held back and the trailer: the file is complete.
    bool Flush();

    bool Closed() const { return closed_; }
    bool Failed() const { return writer_.Failed(); }
    // Whether Flush has something to write.
    bool HasPendingData() const { return !interleaver_.Empty() || writer_.HasUnindexedChunks(); }
    // From the earliest sample's start to the latest sample's end (100-ns units).
    int64_t RecordedTime() const;
    const AviWriter& Writer() const { return writer_; }

private:
    ChunkTime Estimate(size_t stream, size_t size, ChunkTime time);
    SampleResult WriteReady(bool all);
    SampleResult Write(const PendingChunk& chunk);
    bool Close();

    AviWriter writer_;
    Interleaver interleaver_;
    std::vector<int64_t> nextTime_;  // estimate for each stream's next untimed sample
    std::vector<bool> ended_;
    bool closed_ = false;
    bool anyTime_ = false;
    int64_t earliest_ = 0;
    int64_t latest_ = 0;
};

}  // namespace avi
