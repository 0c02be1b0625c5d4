// A test device streaming into Wine's (or Windows') own filters:
// device -> Sample Grabber -> Null Renderer, with every delivered sample
// recorded by the grabber's callback.
#pragma once

#include <windows.h>
#include <dshow.h>

#include <cstdint>
#include <vector>

#include "dshow_base/com_ptr.h"
#include "dshow_base/media_type.h"
#include "dshow_base/sync.h"

struct ISampleGrabber;

namespace test_devices {

// Seconds on the performance counter, for comparing arrival times.
double Now();

struct ReceivedSample {
    double arrival = 0;  // Now() when the grabber passed it on
    REFERENCE_TIME start = -1, stop = -1;
    bool syncPoint = false;
    bool discontinuity = false;
    std::vector<uint8_t> data;
};

class SampleLog;

class CaptureGraph {
public:
    CaptureGraph();
    ~CaptureGraph();

    // Adds the device and connects it straight to the grabber (no converters),
    // or through `between` (a filter with one input and one output pin) when given.
    HRESULT Build(IBaseFilter* device, IBaseFilter* between = nullptr);
    HRESULT Run() { return control_->Run(); }
    HRESULT Pause() { return control_->Pause(); }
    HRESULT Stop() { return control_->Stop(); }
    // Without a clock the graph runs as fast as its sources let it.
    HRESULT RemoveClock();

    // The type the device's pin and the grabber agreed on.
    CMediaType ConnectedType() const;
    // The types the grabber's output pin offers downstream.
    std::vector<CMediaType> GrabberOutputTypes() const;

    std::vector<ReceivedSample> Samples() const;
    size_t SampleCount() const;
    void ClearSamples();
    // Waits up to `timeoutMs` for a first sample; its arrival time, or 0.
    double WaitForFirstSample(DWORD timeoutMs = 3000) const;

private:
    ComPtr<IGraphBuilder> graph_;
    ComPtr<IMediaControl> control_;
    ComPtr<IBaseFilter> grabberFilter_;
    ComPtr<ISampleGrabber> grabber_;
    ComPtr<IBaseFilter> renderer_;
    ComPtr<IPin> grabberIn_, grabberOut_;
    SampleLog* log_;  // one reference, released in the destructor
};

}  // namespace test_devices
