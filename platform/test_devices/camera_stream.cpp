#include "test_devices/camera_stream.h"

#include <algorithm>
#include <cstring>

#include <vfwmsgs.h>

#include "test_devices/live_source.h"
#include "test_devices/pin_reconnect.h"
#include "test_devices/mode_media_types.h"

namespace test_devices {

CCameraStream::CCameraStream(CLiveSource* camera, const DeviceSettings& settings)
    : CSourceStream(L"Test camera capture pin", camera, L"Capture"),
      camera_(camera),
      modes_(CameraModes(settings.sizeCount, settings.rgb24)),
      defaultMode_(DefaultModeIndex(modes_)),
      capsSize_(settings.capsSize) {}

STDMETHODIMP CCameraStream::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (IsEqualIID(riid, IID_IAMStreamConfig)) {
        return GetInterface(static_cast<IAMStreamConfig*>(this), ppv);
    }
    if (IsEqualIID(riid, IID_IKsPropertySet)) {
        return GetInterface(static_cast<IKsPropertySet*>(this), ppv);
    }
    return CSourceStream::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CCameraStream::OfferedType(CMediaType* type) const {
    return MakeVideoType(modes_[setMode_ >= 0 ? setMode_ : defaultMode_], setInterval_, type);
}

STDMETHODIMP CCameraStream::SetFormat(AM_MEDIA_TYPE* type) {
    CAutoLock lock(m_pLock);
    if (!camera_->IsStopped()) return VFW_E_NOT_STOPPED;
    // Null goes back to offering every mode, as after creation.
    int mode = -1;
    REFERENCE_TIME interval = kDefaultFrameInterval;
    if (type) {
        mode = FindVideoMode(*type, modes_, &interval);
        if (mode < 0) return VFW_E_INVALIDMEDIATYPE;
        if (interval == 0) interval = kDefaultFrameInterval;
    }
    const int oldMode = setMode_;
    const REFERENCE_TIME oldInterval = setInterval_;
    setMode_ = mode;
    setInterval_ = interval;
    CMediaType offered;
    HRESULT hr = OfferedType(&offered);
    if (SUCCEEDED(hr)) hr = ReconnectWithType(camera_, this, offered);
    if (FAILED(hr)) {
        setMode_ = oldMode;
        setInterval_ = oldInterval;
        return hr;
    }
    // Enumerators handed out before now list types we no longer offer.
    IncrementTypeVersion();
    return S_OK;
}

STDMETHODIMP CCameraStream::GetFormat(AM_MEDIA_TYPE** type) {
    if (!type) return E_POINTER;
    CAutoLock lock(m_pLock);
    CMediaType current;
    if (IsConnected()) {
        current = m_mt;
    } else {
        RETURN_IF_FAILED(OfferedType(&current));
    }
    *type = CreateMediaType(&current);
    return *type ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP CCameraStream::GetNumberOfCapabilities(int* count, int* size) {
    if (!count || !size) return E_POINTER;
    *count = int(modes_.size());
    *size = capsSize_;
    return S_OK;
}

STDMETHODIMP CCameraStream::GetStreamCaps(int index, AM_MEDIA_TYPE** type, BYTE* caps) {
    if (!type || !caps) return E_POINTER;
    if (index < 0) return E_INVALIDARG;
    if (index >= int(modes_.size())) return S_FALSE;
    CMediaType mt;
    RETURN_IF_FAILED(MakeVideoType(modes_[index], kDefaultFrameInterval, &mt));
    *type = CreateMediaType(&mt);
    if (!*type) return E_OUTOFMEMORY;
    // The caller's buffer has the size GetNumberOfCapabilities reported, even
    // when a test configures it to differ from the structure's.
    const VIDEO_STREAM_CONFIG_CAPS vscc = VideoCaps(modes_[index]);
    std::memset(caps, 0, size_t(capsSize_));
    std::memcpy(caps, &vscc, std::min(size_t(capsSize_), sizeof(vscc)));
    return S_OK;
}

HRESULT CCameraStream::CheckMediaType(const CMediaType* type) {
    REFERENCE_TIME interval = 0;
    const int mode = FindVideoMode(*type, modes_, &interval);
    if (mode < 0) return VFW_E_TYPE_NOT_ACCEPTED;
    if (setMode_ >= 0 && (mode != setMode_ || (interval != 0 && interval != setInterval_))) {
        return VFW_E_TYPE_NOT_ACCEPTED;
    }
    return S_OK;
}

HRESULT CCameraStream::GetMediaType(int position, CMediaType* type) {
    CAutoLock lock(m_pLock);
    if (position < 0) return E_INVALIDARG;
    // Once a format is set it is the only type offered: downstream filters
    // that read this list every frame must see a single picture size.
    if (position == 0) return OfferedType(type);
    if (setMode_ >= 0 || position >= int(modes_.size())) return VFW_S_NO_MORE_ITEMS;
    // The default first, then the other modes in capability order.
    const int index = position <= defaultMode_ ? position - 1 : position;
    return MakeVideoType(modes_[index], kDefaultFrameInterval, type);
}

HRESULT CCameraStream::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) {
    REFERENCE_TIME interval = 0;
    const int mode = FindVideoMode(m_mt, modes_, &interval);
    if (mode < 0) return VFW_E_TYPE_NOT_ACCEPTED;
    return SetLeastBuffers(allocator, request, long(FrameBytes(modes_[mode])), 3);
}

HRESULT CCameraStream::Active() {
    {
        CAutoLock lock(m_pLock);
        if (IsConnected()) {
            REFERENCE_TIME interval = 0;
            const int mode = FindVideoMode(m_mt, modes_, &interval);
            if (mode < 0) return VFW_E_TYPE_NOT_ACCEPTED;
            streamMode_ = modes_[mode];
            streamInterval_ = interval != 0 ? interval : setInterval_;
        }
        frameNumber_ = 0;
    }
    return CSourceStream::Active();
}

HRESULT CCameraStream::FillBuffer(IMediaSample* sample) {
    REFERENCE_TIME start = frameNumber_ * streamInterval_;
    // Cancelled means the filter is stopping: end this run quietly.
    if (camera_->Pacer().WaitUntil(start) != S_OK) return S_FALSE;
    BYTE* data = nullptr;
    RETURN_IF_FAILED(sample->GetPointer(&data));
    const long frameBytes = long(FrameBytes(streamMode_));
    if (sample->GetSize() < frameBytes) return VFW_E_BUFFER_OVERFLOW;
    const pixel_formats::FrameFormat format{streamMode_.format, streamMode_.width,
                                            streamMode_.height};
    if (!renderer_.Render(uint32_t(frameNumber_), format, data, size_t(frameBytes))) {
        return E_UNEXPECTED;
    }
    RETURN_IF_FAILED(sample->SetActualDataLength(frameBytes));
    REFERENCE_TIME stop = start + streamInterval_;
    RETURN_IF_FAILED(sample->SetTime(&start, &stop));
    LONGLONG firstFrame = frameNumber_, nextFrame = frameNumber_ + 1;
    sample->SetMediaTime(&firstFrame, &nextFrame);
    sample->SetSyncPoint(TRUE);
    sample->SetDiscontinuity(frameNumber_ == 0);
    ++frameNumber_;
    return S_OK;
}

}  // namespace test_devices
