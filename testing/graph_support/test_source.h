// A push source for the filter tests: one output pin offering one media
// type, frames filled with a pattern that depends on the frame number; or,
// scripted, a pin listing several types and delivering exactly the frames a
// test lists (any length, a type change attached to any of them).
#pragma once

#include <cstdint>
#include <vector>

#include "dshow_base/streams.h"

namespace graph_test {

// The bytes frame `index` of `size` bytes carries; tests recompute them to
// check what arrived.
std::vector<uint8_t> FramePattern(int index, size_t size);

// One frame of a scripted stream.
struct ScriptedFrame {
    long length = 0;      // bytes delivered
    CMediaType attached;  // set on the sample when valid: a type change
};

class CTestSource : public CSource {
public:
    struct Options {
        CMediaType type;
        int frameCount = -1;               // -1: until stopped
        DWORD pacingMs = 0;                // sleep after each frame
        REFERENCE_TIME frameDuration = 333333;
    };
    // The pin lists `listed` and accepts any type of their major type and
    // subtype; it delivers `frames` once, each with media times (n, n + 1),
    // and then ends the stream.
    struct Script {
        std::vector<CMediaType> listed;
        std::vector<ScriptedFrame> frames;
    };

    // Returns the filter with one reference; *raw stays valid while it lives.
    static ComPtr<IBaseFilter> Create(const Options& options, CTestSource** raw);
    static ComPtr<IBaseFilter> CreateScripted(const Script& script, CTestSource** raw);

    IPin* Output();
    // Frames handed downstream since the last Pause from stopped.
    int FramesSent() const { return framesSent_; }
    // Offered from the next connection on.
    void SetType(const CMediaType& type);
    // Scripted: the bytes of every frame delivered so far, in order.
    std::vector<std::vector<uint8_t>> Delivered();

private:
    CTestSource(const Options& options, const Script& script);
    friend class CTestStream;

    Options options_;
    const Script script_;
    volatile LONG framesSent_ = 0;
    CCritSec deliveredLock_;
    std::vector<std::vector<uint8_t>> delivered_;
};

}  // namespace graph_test
