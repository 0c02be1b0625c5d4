// The per-output delivery thread of the tee: order, refusals, flushing and
// stopping, against a target that records, refuses or blocks on demand.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "testing/graph_support/guarded_sample.h"
#include "system_filters/delivery_queue.h"
#include "testing/window_harness/waiting.h"

namespace graph_test {
namespace {

using system_filters::DeliveryQueue;

class RecordingTarget : public system_filters::DeliveryTarget {
public:
    HRESULT DeliverSampleNow(IMediaSample* sample) override {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            log_.push_back("sample " + std::to_string(sample->GetActualDataLength()));
        }
        if (block_) WaitForSingleObject(release_, 5000);
        return sample->GetActualDataLength() == refuseLength_ ? S_FALSE : S_OK;
    }
    HRESULT DeliverEndOfStreamNow() override {
        Record("eos");
        return S_OK;
    }
    HRESULT DeliverNewSegmentNow(REFERENCE_TIME start, REFERENCE_TIME, double) override {
        Record("segment " + std::to_string(start));
        return S_OK;
    }

    void Record(const std::string& what) {
        std::lock_guard<std::mutex> lock(mutex_);
        log_.push_back(what);
    }
    std::vector<std::string> Log() {
        std::lock_guard<std::mutex> lock(mutex_);
        return log_;
    }
    // Waits (bounded) until `count` entries are logged.
    bool WaitFor(size_t count) {
        return harness::WaitUntil([&] { return Log().size() >= count; }, 5000, 10);
    }

    long refuseLength_ = -1;
    std::atomic<bool> block_{false};
    HANDLE release_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ~RecordingTarget() { CloseHandle(release_); }

private:
    std::mutex mutex_;
    std::vector<std::string> log_;
};

// Samples told apart by their length.
struct Samples {
    explicit Samples(int count) {
        for (int i = 0; i < count; ++i) {
            items.emplace_back(new GuardedSample(16));
            items.back()->SetActualDataLength(i);
        }
    }
    IMediaSample* operator[](int i) { return items[i].get(); }
    std::vector<std::unique_ptr<GuardedSample>> items;
};

using Log = std::vector<std::string>;

TEST(DeliveryQueue, DeliversInArrivalOrderOnlyWhileRunning) {
    RecordingTarget target;
    DeliveryQueue queue(&target);
    Samples samples(3);
    EXPECT_EQ(VFW_E_WRONG_STATE, queue.Receive(samples[0]));
    ASSERT_EQ(S_OK, queue.Start());
    EXPECT_EQ(S_OK, queue.NewSegment(7, 8, 1.0));
    EXPECT_EQ(S_OK, queue.Receive(samples[1]));
    EXPECT_EQ(S_OK, queue.Receive(samples[2]));
    EXPECT_EQ(S_OK, queue.EndOfStream());
    ASSERT_TRUE(target.WaitFor(4));
    queue.Stop();
    EXPECT_EQ((Log{"segment 7", "sample 1", "sample 2", "eos"}), target.Log());
    EXPECT_EQ(VFW_E_WRONG_STATE, queue.Receive(samples[0]));
}

TEST(DeliveryQueue, RefusalStopsSamplesButNotTheEndOfStreamUntilAFlush) {
    RecordingTarget target;
    target.refuseLength_ = 1;
    DeliveryQueue queue(&target);
    Samples samples(4);
    ASSERT_EQ(S_OK, queue.Start());
    ASSERT_EQ(S_OK, queue.Receive(samples[1]));
    ASSERT_TRUE(target.WaitFor(1));
    for (int i = 0; i < 100 && queue.Receive(samples[2]) == S_OK; ++i) Sleep(5);
    EXPECT_EQ(S_FALSE, queue.Receive(samples[2]));
    EXPECT_EQ(S_OK, queue.EndOfStream());
    ASSERT_TRUE(target.WaitFor(2));
    queue.BeginFlush();
    queue.EndFlush();
    EXPECT_EQ(S_OK, queue.Receive(samples[3]));
    ASSERT_TRUE(target.WaitFor(3));
    queue.Stop();
    // Samples queued behind the refused one were dropped, not delivered.
    EXPECT_EQ((Log{"sample 1", "eos", "sample 3"}), target.Log());
}

TEST(DeliveryQueue, FlushDropsWhatWaitsAndEndsOnlyOnceTheThreadIsIdle) {
    RecordingTarget target;
    target.block_ = true;
    DeliveryQueue queue(&target);
    Samples samples(3);
    ASSERT_EQ(S_OK, queue.Start());
    ASSERT_EQ(S_OK, queue.Receive(samples[0]));
    ASSERT_TRUE(target.WaitFor(1));  // the thread now blocks downstream
    ASSERT_EQ(S_OK, queue.Receive(samples[1]));
    queue.BeginFlush();
    EXPECT_EQ(S_FALSE, queue.Receive(samples[2]));

    std::atomic<bool> released{false};
    std::thread downstream([&] {
        Sleep(100);
        released = true;
        SetEvent(target.release_);  // what downstream's own BeginFlush does
    });
    queue.EndFlush();
    EXPECT_TRUE(released);
    downstream.join();
    queue.Stop();
    EXPECT_EQ((Log{"sample 0"}), target.Log());  // sample 1 was dropped
}

TEST(DeliveryQueue, StopWaitsForABlockedDeliveryAndDropsTheRest) {
    RecordingTarget target;
    target.block_ = true;
    DeliveryQueue queue(&target);
    Samples samples(3);
    ASSERT_EQ(S_OK, queue.Start());
    ASSERT_EQ(S_OK, queue.Receive(samples[0]));
    ASSERT_EQ(S_OK, queue.Receive(samples[1]));
    ASSERT_TRUE(target.WaitFor(1));
    std::thread downstream([&] {
        Sleep(50);
        SetEvent(target.release_);
    });
    queue.Stop();
    downstream.join();
    EXPECT_EQ((Log{"sample 0"}), target.Log());
    // Restartable, as after Stop -> Pause.
    target.block_ = false;
    ASSERT_EQ(S_OK, queue.Start());
    ASSERT_EQ(S_OK, queue.Receive(samples[2]));
    EXPECT_TRUE(target.WaitFor(2));
}

}  // namespace
}  // namespace graph_test
