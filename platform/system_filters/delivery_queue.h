// Hands samples and stream events to one downstream pin on a thread of its
// own, in arrival order. The tee gives each output one, so that an output
// whose downstream blocks in Receive (a paused renderer waiting for Run, a
// renderer waiting for a sample's time) does not hold back the others.
//
// Queued samples keep their references, so upstream's allocator running
// out of free buffers is what limits how far a slow branch may fall behind.
#pragma once

#include <windows.h>
#include <dshow.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "dshow_base/com_ptr.h"

namespace system_filters {

// What the queue's thread calls; implemented by the output pin.
class DeliveryTarget {
public:
    virtual HRESULT DeliverSampleNow(IMediaSample* sample) = 0;
    virtual HRESULT DeliverEndOfStreamNow() = 0;
    virtual HRESULT DeliverNewSegmentNow(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) = 0;

protected:
    ~DeliveryTarget() = default;
};

class DeliveryQueue {
public:
    explicit DeliveryQueue(DeliveryTarget* target) : target_(target) {}
    ~DeliveryQueue() { Stop(); }
    DeliveryQueue(const DeliveryQueue&) = delete;
    DeliveryQueue& operator=(const DeliveryQueue&) = delete;

    HRESULT Start();
    // Drops what is queued and waits for the thread, which may first have
    // to come back from a downstream call.
    void Stop();
    bool Running();

    // S_OK when queued. After downstream refused a sample (S_FALSE or an
    // error) the queue drops samples until the next flush or start and
    // answers with that refusal; stream events still go through.
    // VFW_E_WRONG_STATE when not running, S_FALSE while flushing.
    HRESULT Receive(IMediaSample* sample);
    HRESULT EndOfStream();
    HRESULT NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate);

    // Drops what is queued and refuses more until EndFlush, which returns
    // once the thread is idle (the caller flushes downstream in between,
    // which frees a thread blocked there).
    void BeginFlush();
    void EndFlush();

private:
    struct Item {
        enum class Kind { kSample, kEndOfStream, kNewSegment } kind;
        ComPtr<IMediaSample> sample;
        REFERENCE_TIME start = 0;
        REFERENCE_TIME stop = 0;
        double rate = 1.0;
    };

    HRESULT Push(Item item);
    void DropSamples();  // with the mutex held
    void Run();
    HRESULT Deliver(const Item& item);

    DeliveryTarget* target_;  // owns us
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Item> items_;
    std::thread thread_;
    bool running_ = false;
    bool flushing_ = false;
    bool busy_ = false;       // the thread is delivering an item
    HRESULT refusal_ = S_OK;  // downstream's last refusal, until a flush
};

}  // namespace system_filters
