// The test microphone's output pin "Capture": 16-bit PCM sine tone at
// 44.1 kHz, stereo by default or mono through IAMStreamConfig, in buffers of
// 50 ms stamped from their sample position.
#pragma once

#include <optional>

#include "dshow_base/source.h"
#include "test_devices/audio_modes.h"
#include "test_devices/capture_pin_category.h"
#include "test_signals/tone_generator.h"

namespace test_devices {

class CLiveSource;

class CMicrophoneStream : public CSourceStream, public IAMStreamConfig, public IKsPropertySet {
public:
    explicit CMicrophoneStream(CLiveSource* microphone);

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
    AudioMode OfferedMode() const;

    CLiveSource* const microphone_;  // owns this pin
    bool formatSet_ = false;
    AudioMode setMode_;

    // Streaming state, fixed from Active on (the format changes only when stopped).
    AudioMode streamMode_;
    // Its position is the count of sample frames delivered in this run.
    std::optional<test_signals::ToneGenerator> tone_;
};

}  // namespace test_devices
