// A push source for the filter tests: one output pin offering one media
// type, frames filled with a pattern that depends on the frame number.
#pragma once

#include <cstdint>
#include <vector>

#include "dshow_base/streams.h"

namespace graph_test {

// The bytes frame `index` of `size` bytes carries; tests recompute them to
// check what arrived.
std::vector<uint8_t> FramePattern(int index, size_t size);

class CTestSource : public CSource {
public:
    struct Options {
        CMediaType type;
        int frameCount = -1;               // -1: until stopped
        DWORD pacingMs = 0;                // sleep after each frame
        REFERENCE_TIME frameDuration = 333333;
    };

    // Returns the filter with one reference; *raw stays valid while it lives.
    static ComPtr<IBaseFilter> Create(const Options& options, CTestSource** raw);

    IPin* Output();
    // Frames handed downstream since the last Pause from stopped.
    int FramesSent() const { return framesSent_; }
    // Offered from the next connection on.
    void SetType(const CMediaType& type);

private:
    explicit CTestSource(const Options& options);
    friend class CTestStream;

    Options options_;
    volatile LONG framesSent_ = 0;
};

}  // namespace graph_test
