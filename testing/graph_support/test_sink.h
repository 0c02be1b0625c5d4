// A renderer-like sink for the filter tests that records what reaches it:
// samples (bytes, times, read-only state), end-of-stream, flushes, segments.
// Options make it picky about types or allocators, as real filters can be.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "dshow_base/streams.h"

namespace graph_test {

struct ReceivedFrame {
    std::vector<uint8_t> bytes;  // the actual length's worth
    REFERENCE_TIME start = 0;
    REFERENCE_TIME stop = 0;
    bool timed = false;
    bool readOnly = false;  // what the allocator's NotifyAllocator said
    long bufferSize = 0;
    int typeWidth = 0, typeHeight = 0;  // of a video type attached to the sample, 0 without
    LONGLONG mediaStart = -1;           // -1 without media times
    bool discontinuity = false;
};

// Says it is a renderer, so that the graph waits for its EC_COMPLETE.
class CTestSink : public CBaseFilter, public IAMFilterMiscFlags {
public:
    enum class AllocatorPolicy {
        kAny,            // takes whatever upstream proposes
        kOwnOnly,        // takes only the allocator it handed out
        kWritableOnly,   // refuses read-only allocators (an in-place modifier)
    };
    struct Options {
        std::function<bool(const CMediaType&)> accepts;  // null: everything
        std::vector<CMediaType> offered;                  // its own type proposals
        AllocatorPolicy policy = AllocatorPolicy::kAny;
        // Overwrites writable samples after recording them, as an in-place
        // filter would; shows whether a buffer was shared when it must not be.
        bool scribble = false;
    };

    static ComPtr<IBaseFilter> Create(const Options& options, CTestSink** raw);
    ~CTestSink() override;

    DECLARE_IUNKNOWN
    STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) GetMiscFlags() override { return AM_FILTER_MISC_FLAGS_IS_RENDERER; }

    int GetPinCount() override { return 1; }
    CBasePin* GetPin(int n) override;
    IPin* Input();

    // Observations; safe from any thread.
    size_t FrameCount();
    std::vector<ReceivedFrame> Frames();
    int EndOfStreamCount();
    int BeginFlushCount();
    int EndFlushCount();
    std::vector<REFERENCE_TIME> SegmentStarts();
    bool AllocatorIsOwn();  // whether samples come from the allocator we handed out
    // Properties of the allocator NotifyAllocator was last given.
    ALLOCATOR_PROPERTIES Granted();
    // Its own type proposals from the next connection on.
    void SetOffered(const std::vector<CMediaType>& offered);
    void Reset();
    bool WaitForFrames(size_t count, DWORD timeoutMs);
    bool WaitForEndOfStream(DWORD timeoutMs);
    // While held, Receive waits at the start of each frame, as a paused
    // renderer does; WaitUntilHolding tells when a frame waits there.
    void HoldFrames() { gate_.Reset(); }
    void ReleaseFrames() { gate_.Set(); }
    bool WaitUntilHolding(DWORD timeoutMs) { return holding_.Wait(timeoutMs) != FALSE; }

private:
    class Pin;
    friend class Pin;
    explicit CTestSink(const Options& options);

    Options options_;
    CCritSec lock_;
    CCritSec recordLock_;
    Pin* pin_ = nullptr;
    std::vector<ReceivedFrame> frames_;
    int endOfStream_ = 0;
    int beginFlush_ = 0;
    int endFlush_ = 0;
    std::vector<REFERENCE_TIME> segments_;
    ALLOCATOR_PROPERTIES granted_{};
    CAMEvent changed_{FALSE};
    CAMEvent gate_{TRUE};
    CAMEvent holding_{TRUE};
};

}  // namespace graph_test
