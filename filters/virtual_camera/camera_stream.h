// The virtual webcam's capture pin: offers its modes through IAMStreamConfig
// like a real camera, says it is a capture pin through IKsPropertySet, and
// while running delivers the sender's latest frame fitted to the negotiated
// mode, or the placeholder card, at the negotiated rate.
#pragma once

#include <cstdint>
#include <vector>

#include "dshow_base/streams.h"
#include "media/frame_channel/shared_channel.h"
#include "media/virtual_picture/delivery_schedule.h"
#include "media/virtual_picture/picture_fitter.h"

namespace virtual_camera {

class CVirtualCamera;

class CCameraStream : public CSourceStream, public IAMStreamConfig, public IKsPropertySet {
public:
    explicit CCameraStream(CVirtualCamera* camera);

    DECLARE_IUNKNOWN
    STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    // IAMStreamConfig
    STDMETHODIMP SetFormat(AM_MEDIA_TYPE* type) override;
    STDMETHODIMP GetFormat(AM_MEDIA_TYPE** type) override;
    STDMETHODIMP GetNumberOfCapabilities(int* count, int* size) override;
    STDMETHODIMP GetStreamCaps(int index, AM_MEDIA_TYPE** type, BYTE* caps) override;

    // IKsPropertySet: the pin category, read-only.
    STDMETHODIMP Set(REFGUID set, DWORD id, void* instance, DWORD instanceSize, void* data, DWORD dataSize) override;
    STDMETHODIMP Get(REFGUID set, DWORD id, void* instance, DWORD instanceSize, void* data, DWORD dataSize,
                     DWORD* returned) override;
    STDMETHODIMP QuerySupported(REFGUID set, DWORD id, DWORD* support) override;

protected:
    HRESULT CheckMediaType(const CMediaType* type) override;
    HRESULT GetMediaType(int position, CMediaType* type) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override;
    HRESULT Active() override;
    HRESULT FillBuffer(IMediaSample* sample) override;

private:
    // Offered first, and alone once a format is set.
    HRESULT OfferedType(CMediaType* type) const;
    // Brings the newest sender frame into picture_; false when none could be read.
    bool TakeSenderFrame();
    void LookForChannel(uint64_t now_us);
    HRESULT DeliverPicture(IMediaSample* sample, const std::vector<uint8_t>& picture);

    CVirtualCamera* const camera_;  // owns this pin
    int setMode_ = -1;              // -1: every mode is offered
    REFERENCE_TIME setInterval_;

    // Streaming thread only, fixed from Active until the pin stops.
    pixel_formats::FrameFormat streamFormat_{};
    size_t streamBytes_ = 0;
    REFERENCE_TIME streamInterval_ = 0;
    frame_channel::SharedChannelReader channel_;
    uint64_t nextChannelLook_us_ = 0;
    std::vector<uint8_t> senderFrame_;  // the channel's frame as sent
    std::vector<uint8_t> picture_;      // the latest sender frame at our mode
    std::vector<uint8_t> placeholder_;  // the card at our mode
    virtual_picture::PictureFitter fitter_;
    virtual_picture::ScheduleState schedule_;
    uint64_t deliveredSequence_ = 0;
    REFERENCE_TIME lastStart_ = -1;
    LONGLONG frameNumber_ = 0;
};

}  // namespace virtual_camera
