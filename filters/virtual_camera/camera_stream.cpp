#include "filters/virtual_camera/camera_stream.h"

#include <algorithm>
#include <cstring>

#include "filters/virtual_camera/camera_modes.h"
#include "filters/virtual_camera/virtual_camera_filter.h"
#include "media/virtual_picture/placeholder_picture.h"

namespace virtual_camera {

using frame_channel::ChannelClockUs;
using virtual_picture::Delivery;

namespace {

// How often a pin without a channel looks whether a sender has made one.
constexpr uint64_t kChannelLookUs = 250000;
// Longest single wait, so a sender's first frame is seen promptly even
// before the channel (and its event) exist.
constexpr DWORD kLongestWaitMs = 50;

}  // namespace

CCameraStream::CCameraStream(CVirtualCamera* camera)
    : CSourceStream(TEXT("Talvoro Pelloquin Capture"), camera, L"Capture"),
      camera_(camera),
      setInterval_(kDefaultInterval) {}

STDMETHODIMP CCameraStream::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (IsEqualIID(riid, IID_IAMStreamConfig)) return GetInterface(static_cast<IAMStreamConfig*>(this), ppv);
    if (IsEqualIID(riid, IID_IKsPropertySet)) return GetInterface(static_cast<IKsPropertySet*>(this), ppv);
    return CSourceStream::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CCameraStream::OfferedType(CMediaType* type) const {
    return MakeModeType(ModeAt(setMode_ >= 0 ? setMode_ : DefaultMode()), setInterval_, type);
}

// ---- IAMStreamConfig

STDMETHODIMP CCameraStream::SetFormat(AM_MEDIA_TYPE* type) {
    CAutoLock lock(m_pLock);
    if (!camera_->IsStopped()) return VFW_E_NOT_STOPPED;
    if (type == nullptr) {
        setMode_ = -1;
        setInterval_ = kDefaultInterval;
        return S_OK;
    }
    REFERENCE_TIME interval = 0;
    const int mode = FindMode(*type, &interval);
    if (mode < 0) return VFW_E_INVALIDMEDIATYPE;
    if (IsConnected()) {
        CMediaType wanted;
        RETURN_IF_FAILED(MakeModeType(ModeAt(mode), interval, &wanted));
        if (GetConnected()->QueryAccept(&wanted) != S_OK) return VFW_E_INVALIDMEDIATYPE;
        setMode_ = mode;
        setInterval_ = interval;
        return camera_->ReconnectPin(this, &wanted);
    }
    setMode_ = mode;
    setInterval_ = interval;
    return S_OK;
}

STDMETHODIMP CCameraStream::GetFormat(AM_MEDIA_TYPE** type) {
    if (type == nullptr) return E_POINTER;
    CAutoLock lock(m_pLock);
    CMediaType current;
    if (IsConnected()) {
        current = m_mt;
    } else {
        RETURN_IF_FAILED(OfferedType(&current));
    }
    *type = CreateMediaType(&current);
    return *type != nullptr ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP CCameraStream::GetNumberOfCapabilities(int* count, int* size) {
    if (count == nullptr || size == nullptr) return E_POINTER;
    *count = ModeCount();
    *size = sizeof(VIDEO_STREAM_CONFIG_CAPS);
    return S_OK;
}

STDMETHODIMP CCameraStream::GetStreamCaps(int index, AM_MEDIA_TYPE** type, BYTE* caps) {
    if (type == nullptr || caps == nullptr) return E_POINTER;
    if (index < 0 || index >= ModeCount()) return S_FALSE;
    CMediaType mt;
    RETURN_IF_FAILED(MakeModeType(ModeAt(index), kDefaultInterval, &mt));
    *type = CreateMediaType(&mt);
    if (*type == nullptr) return E_OUTOFMEMORY;
    const VIDEO_STREAM_CONFIG_CAPS c = ModeCaps(ModeAt(index));
    std::memcpy(caps, &c, sizeof c);
    return S_OK;
}

// ---- IKsPropertySet

STDMETHODIMP CCameraStream::Set(REFGUID set, DWORD, void*, DWORD, void*, DWORD) {
    return IsEqualGUID(set, AMPROPSETID_Pin) ? E_PROP_ID_UNSUPPORTED : E_PROP_SET_UNSUPPORTED;
}

STDMETHODIMP CCameraStream::Get(REFGUID set, DWORD id, void*, DWORD, void* data, DWORD dataSize, DWORD* returned) {
    if (!IsEqualGUID(set, AMPROPSETID_Pin)) return E_PROP_SET_UNSUPPORTED;
    if (id != AMPROPERTY_PIN_CATEGORY) return E_PROP_ID_UNSUPPORTED;
    if (returned != nullptr) *returned = sizeof(GUID);
    if (data == nullptr) return returned != nullptr ? S_OK : E_POINTER;
    if (dataSize < sizeof(GUID)) return E_UNEXPECTED;
    *static_cast<GUID*>(data) = PIN_CATEGORY_CAPTURE;
    return S_OK;
}

STDMETHODIMP CCameraStream::QuerySupported(REFGUID set, DWORD id, DWORD* support) {
    if (!IsEqualGUID(set, AMPROPSETID_Pin)) return E_PROP_SET_UNSUPPORTED;
    if (id != AMPROPERTY_PIN_CATEGORY) return E_PROP_ID_UNSUPPORTED;
    if (support != nullptr) *support = KSPROPERTY_SUPPORT_GET;
    return S_OK;
}

// ---- Types and buffers

HRESULT CCameraStream::CheckMediaType(const CMediaType* type) {
    REFERENCE_TIME interval = 0;
    const int mode = FindMode(*type, &interval);
    if (mode < 0 || (setMode_ >= 0 && mode != setMode_)) return VFW_E_TYPE_NOT_ACCEPTED;
    return S_OK;
}

HRESULT CCameraStream::GetMediaType(int position, CMediaType* type) {
    if (position < 0) return E_INVALIDARG;
    if (setMode_ >= 0) return position == 0 ? OfferedType(type) : VFW_S_NO_MORE_ITEMS;
    if (position >= ModeCount()) return VFW_S_NO_MORE_ITEMS;
    return MakeModeType(ModeAt(position), setInterval_, type);
}

HRESULT CCameraStream::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) {
    REFERENCE_TIME interval = 0;
    const int mode = FindMode(m_mt, &interval);
    if (mode < 0) return VFW_E_TYPE_NOT_ACCEPTED;
    const CameraMode& m = ModeAt(mode);
    return SetLeastBuffers(allocator, request,
                           static_cast<long>(pixel_formats::FrameSize(m.format, m.width, m.height)), 3);
}

// ---- Streaming

HRESULT CCameraStream::Active() {
    {
        CAutoLock lock(m_pLock);
        REFERENCE_TIME interval = 0;
        const int mode = FindMode(m_mt, &interval);
        if (mode < 0) return VFW_E_TYPE_NOT_ACCEPTED;
        const CameraMode& m = ModeAt(mode);
        streamFormat_ = {m.format, m.width, m.height};
        streamBytes_ = pixel_formats::FrameSize(m.format, m.width, m.height);
        streamInterval_ = interval;
        placeholder_.resize(streamBytes_);
        virtual_picture::RenderPlaceholder(streamFormat_, placeholder_.data(), placeholder_.size());
        picture_ = placeholder_;
        schedule_ = {};
        schedule_.interval = streamInterval_;
        deliveredSequence_ = 0;
        lastStart_ = -1;
        frameNumber_ = 0;
        nextChannelLook_us_ = 0;
    }
    return CSourceStream::Active();
}

void CCameraStream::LookForChannel(uint64_t now_us) {
    if (channel_.IsOpen() || now_us < nextChannelLook_us_) return;
    nextChannelLook_us_ = now_us + kChannelLookUs;
    channel_.Open();
}

bool CCameraStream::TakeSenderFrame() {
    if (senderFrame_.empty()) senderFrame_.resize(frame_channel::kMaxFrameBytes);
    frame_channel::FrameInfo info;
    if (channel_.ReadLatest(senderFrame_.data(), senderFrame_.size(), &info) != frame_channel::ReadResult::kFrame) {
        return false;
    }
    deliveredSequence_ = info.frame_sequence;
    return fitter_.Fit(senderFrame_.data(), info.size, info.format, picture_.data(), picture_.size(), streamFormat_);
}

HRESULT CCameraStream::DeliverPicture(IMediaSample* sample, const std::vector<uint8_t>& picture) {
    BYTE* data = nullptr;
    RETURN_IF_FAILED(sample->GetPointer(&data));
    if (sample->GetSize() < static_cast<long>(streamBytes_)) return VFW_E_BUFFER_OVERFLOW;
    std::memcpy(data, picture.data(), streamBytes_);
    RETURN_IF_FAILED(sample->SetActualDataLength(static_cast<long>(streamBytes_)));
    // Stamped with the stream time at which it leaves, as a camera stamps
    // its capture time; without a clock, by frame count.
    CRefTime now;
    REFERENCE_TIME start = SUCCEEDED(camera_->StreamTime(now)) ? now.m_time : frameNumber_ * streamInterval_;
    if (lastStart_ >= 0 && start <= lastStart_) start = lastStart_ + 1;
    REFERENCE_TIME stop = start + streamInterval_;
    RETURN_IF_FAILED(sample->SetTime(&start, &stop));
    LONGLONG first = frameNumber_, next = frameNumber_ + 1;
    sample->SetMediaTime(&first, &next);
    sample->SetSyncPoint(TRUE);
    sample->SetDiscontinuity(frameNumber_ == 0);
    lastStart_ = start;
    ++frameNumber_;
    return S_OK;
}

HRESULT CCameraStream::FillBuffer(IMediaSample* sample) {
    for (;;) {
        // Cancelled means the filter is stopping: end this run quietly.
        if (!camera_->Gate().WaitRunning()) return S_FALSE;
        const uint64_t now_us = ChannelClockUs();
        LookForChannel(now_us);
        frame_channel::WriterStatus status;
        const bool have_status = channel_.ReadStatus(&status);
        const bool live = have_status &&
                          virtual_picture::SenderLive(status.frame_sequence, status.heartbeat_ms, now_us / 1000) &&
                          channel_.WriterRunning(status.process_id);
        schedule_.now = static_cast<int64_t>(now_us) * 10;
        schedule_.sender_live = live;
        schedule_.new_frame = live && status.frame_sequence != deliveredSequence_;
        const virtual_picture::Decision decision = virtual_picture::Decide(schedule_);

        const std::vector<uint8_t>* picture = nullptr;
        switch (decision.delivery) {
        case Delivery::kSenderFrame:
            picture = TakeSenderFrame() ? &picture_ : &placeholder_;
            break;
        case Delivery::kRepeat:
            picture = &picture_;
            break;
        case Delivery::kPlaceholder:
            picture = &placeholder_;
            break;
        case Delivery::kWait: {
            const int64_t wait_100ns = decision.wait_until - schedule_.now;
            const DWORD wait_ms = static_cast<DWORD>(std::clamp<int64_t>((wait_100ns + 9999) / 10000, 1, kLongestWaitMs));
            // With a new frame already there only the time matters; otherwise
            // the writer's signal for the frame after its latest ends the wait.
            const HANDLE next = schedule_.new_frame || !have_status ? nullptr
                                                                    : channel_.NextFrameEvent(status.frame_sequence);
            if (camera_->Gate().Wait(next, wait_ms) == RunGate::Wake::kCancelled) return S_FALSE;
            continue;
        }
        }
        RETURN_IF_FAILED(DeliverPicture(sample, *picture));
        schedule_.last_delivery = schedule_.now;
        schedule_.last_was_sender_frame = decision.delivery == Delivery::kSenderFrame && picture == &picture_;
        return S_OK;
    }
}

}  // namespace virtual_camera
