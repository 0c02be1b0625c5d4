// The test camera's output pin "Capture": offers the camera's modes, lets a
// client pick one through IAMStreamConfig, and delivers the test pattern at
// the chosen frame rate while the graph runs.
#pragma once

#include <vector>

#include "dshow_base/source.h"
#include "test_devices/capture_pin_category.h"
#include "test_devices/device_config.h"
#include "test_devices/video_modes.h"
#include "test_signals/test_pattern.h"

namespace test_devices {

class CLiveSource;

class CCameraStream : public CSourceStream, public IAMStreamConfig, public IKsPropertySet {
public:
    CCameraStream(CLiveSource* camera, const DeviceSettings& settings);

    DECLARE_IUNKNOWN
    STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    // IAMStreamConfig
    STDMETHODIMP SetFormat(AM_MEDIA_TYPE* type) override;
    STDMETHODIMP GetFormat(AM_MEDIA_TYPE** type) override;
    STDMETHODIMP GetNumberOfCapabilities(int* count, int* size) override;
    STDMETHODIMP GetStreamCaps(int index, AM_MEDIA_TYPE** type, BYTE* caps) override;

    DECLARE_CAPTURE_PIN_PROPERTY_SET

protected:
    HRESULT CheckMediaType(const CMediaType* type) override;
    HRESULT GetMediaType(int position, CMediaType* type) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override;
    HRESULT Active() override;
    HRESULT FillBuffer(IMediaSample* sample) override;

private:
    // The type the pin offers first (the only one once a format is set).
    HRESULT OfferedType(CMediaType* type) const;

    CLiveSource* const camera_;  // owns this pin
    const std::vector<VideoMode> modes_;
    const int defaultMode_;
    const int capsSize_;
    // Set by SetFormat; -1 when the pin offers every mode.
    int setMode_ = -1;
    REFERENCE_TIME setInterval_ = kDefaultFrameInterval;

    // Streaming state: fixed from Active until the pin stops, because the
    // format only changes while the filter is stopped.
    VideoMode streamMode_;
    REFERENCE_TIME streamInterval_ = kDefaultFrameInterval;
    LONGLONG frameNumber_ = 0;
    test_signals::TestPatternRenderer renderer_;  // streaming thread only
};

}  // namespace test_devices
