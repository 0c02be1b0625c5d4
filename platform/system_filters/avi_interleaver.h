// Puts the chunks of several live streams into one time order before they
// go into the file, so that a player reads sound and pictures of the same
// moment close together.
//
// A chunk leaves once every other stream that has not ended has shown a
// chunk at least as late, or once it is older than the newest chunk by the
// interleave span (a stream that falls silent holds the others back no
// longer than that), or when the buffered bytes pass their limit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

namespace avi {

struct PendingChunk {
    size_t stream = 0;
    int64_t time = 0;  // 100-ns units
    bool keyframe = true;
    bool timed = false;  // time came from the sample, not from an estimate
    int64_t stop = 0;
    std::vector<uint8_t> data;
};

class Interleaver {
public:
    // span: 100-ns units; maxBytes: buffered data that forces chunks out.
    Interleaver(size_t streams, int64_t span, size_t maxBytes);

    void Push(PendingChunk chunk);
    // The stream sends nothing more; it no longer holds the others back.
    void EndStream(size_t stream);
    bool Ended(size_t stream) const { return streams_[stream].ended; }

    // The next chunk that may be written now, in time order.
    bool PopReady(PendingChunk* out);
    // The next chunk in time order, whatever the other streams still send.
    bool PopAny(PendingChunk* out);

    size_t BufferedBytes() const { return bufferedBytes_; }
    bool Empty() const;
    void Clear();

private:
    struct Stream {
        std::deque<PendingChunk> queue;
        bool ended = false;
    };

    // The stream whose first chunk is earliest; false when all are empty.
    bool Earliest(size_t* stream) const;
    void Pop(size_t stream, PendingChunk* out);

    std::vector<Stream> streams_;
    int64_t span_;
    size_t maxBytes_;
    size_t bufferedBytes_ = 0;
    bool anyTime_ = false;
    int64_t newest_ = 0;
};

}  // namespace avi
