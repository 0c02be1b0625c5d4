#include "system_filters/avi_interleaver.h"

#include <utility>

namespace avi {

Interleaver::Interleaver(size_t streams, int64_t span, size_t maxBytes)
    : streams_(streams), span_(span), maxBytes_(maxBytes) {}

void Interleaver::Push(PendingChunk chunk) {
    if (chunk.stream >= streams_.size()) return;
    if (!anyTime_ || chunk.time > newest_) newest_ = chunk.time;
    anyTime_ = true;
    bufferedBytes_ += chunk.data.size();
    streams_[chunk.stream].queue.push_back(std::move(chunk));
}

void Interleaver::EndStream(size_t stream) {
    if (stream < streams_.size()) streams_[stream].ended = true;
}

bool Interleaver::Earliest(size_t* stream) const {
    bool found = false;
    for (size_t i = 0; i < streams_.size(); ++i) {
        const auto& q = streams_[i].queue;
        if (q.empty()) continue;
        if (!found || q.front().time < streams_[*stream].queue.front().time) {
            *stream = i;
            found = true;
        }
    }
    return found;
}

void Interleaver::Pop(size_t stream, PendingChunk* out) {
    auto& q = streams_[stream].queue;
    *out = std::move(q.front());
    q.pop_front();
    bufferedBytes_ -= out->data.size();
}

bool Interleaver::PopReady(PendingChunk* out) {
    size_t first = 0;
    if (!Earliest(&first)) return false;
    const int64_t time = streams_[first].queue.front().time;
    bool ready = bufferedBytes_ > maxBytes_ || newest_ - time >= span_;
    if (!ready) {
        ready = true;
        // Earliest() guarantees every queued stream is at least as late;
        // only an empty stream that may still send an earlier chunk holds back.
        for (const Stream& s : streams_) {
            if (!s.ended && s.queue.empty()) ready = false;
        }
    }
    if (!ready) return false;
    Pop(first, out);
    return true;
}

bool Interleaver::PopAny(PendingChunk* out) {
    size_t first = 0;
    if (!Earliest(&first)) return false;
    Pop(first, out);
    return true;
}

bool Interleaver::Empty() const {
    for (const Stream& s : streams_) {
        if (!s.queue.empty()) return false;
    }
    return true;
}

void Interleaver::Clear() {
    for (Stream& s : streams_) {
        s.queue.clear();
        s.ended = false;
    }
    bufferedBytes_ = 0;
    anyTime_ = false;
    newest_ = 0;
}

}  // namespace avi
