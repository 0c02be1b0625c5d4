#include "system_filters/delivery_queue.h"

#include <objbase.h>

#include <algorithm>

namespace system_filters {

HRESULT DeliveryQueue::Start() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (running_) return S_OK;
    running_ = true;
    flushing_ = false;
    refusal_ = S_OK;
    try {
        thread_ = std::thread(&DeliveryQueue::Run, this);
    } catch (...) {
        running_ = false;
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

void DeliveryQueue::Stop() {
    std::deque<Item> dropped;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!running_) return;
        running_ = false;
        dropped.swap(items_);
    }
    changed_.notify_all();
    if (thread_.joinable()) thread_.join();
    // `dropped` releases its samples here, outside the lock.
}

bool DeliveryQueue::Running() {
    std::lock_guard<std::mutex> lock(mutex_);
    return running_;
}

HRESULT DeliveryQueue::Push(Item item) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!running_) return VFW_E_WRONG_STATE;
        if (flushing_) return S_FALSE;
        // A refusal stops samples only: the end of the stream still goes down.
        if (refusal_ != S_OK && item.kind == Item::Kind::kSample) return refusal_;
        items_.push_back(std::move(item));
    }
    changed_.notify_all();
    return S_OK;
}

HRESULT DeliveryQueue::Receive(IMediaSample* sample) {
    return Push({Item::Kind::kSample, ComPtr<IMediaSample>(sample)});
}

HRESULT DeliveryQueue::EndOfStream() { return Push({Item::Kind::kEndOfStream, {}}); }

HRESULT DeliveryQueue::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) {
    return Push({Item::Kind::kNewSegment, {}, start, stop, rate});
}

void DeliveryQueue::BeginFlush() {
    std::deque<Item> dropped;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        flushing_ = true;
        dropped.swap(items_);
    }
}

void DeliveryQueue::EndFlush() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return !busy_; });
    flushing_ = false;
    refusal_ = S_OK;
}

HRESULT DeliveryQueue::Deliver(const Item& item) {
    switch (item.kind) {
        case Item::Kind::kSample:
            return target_->DeliverSampleNow(item.sample.Get());
        case Item::Kind::kEndOfStream:
            target_->DeliverEndOfStreamNow();
            return S_OK;
        case Item::Kind::kNewSegment:
            target_->DeliverNewSegmentNow(item.start, item.stop, item.rate);
            return S_OK;
    }
    return S_OK;
}

void DeliveryQueue::DropSamples() {
    items_.erase(std::remove_if(items_.begin(), items_.end(),
                                [](const Item& item) { return item.kind == Item::Kind::kSample; }),
                 items_.end());
}

void DeliveryQueue::Run() {
    // Downstream filters may create COM objects on the thread that feeds them.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return !running_ || !items_.empty(); });
        if (!running_) break;
        Item item = std::move(items_.front());
        items_.pop_front();
        busy_ = true;
        lock.unlock();
        const HRESULT hr = Deliver(item);
        item.sample.Reset();
        lock.lock();
        busy_ = false;
        // A refusal during a flush is the flush's doing, not downstream's verdict.
        if (hr != S_OK && !flushing_ && refusal_ == S_OK) {
            refusal_ = hr;
            DropSamples();
        }
        changed_.notify_all();
    }
    lock.unlock();
    if (SUCCEEDED(com)) CoUninitialize();
}

}  // namespace system_filters
