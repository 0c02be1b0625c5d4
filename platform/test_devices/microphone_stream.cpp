#include "test_devices/microphone_stream.h"

#include <cstring>
#include <iterator>

#include <vfwmsgs.h>

#include "test_devices/audio_media_type.h"
#include "test_devices/live_source.h"
#include "test_devices/pin_reconnect.h"

namespace test_devices {

CMicrophoneStream::CMicrophoneStream(CLiveSource* microphone)
    : CSourceStream(L"Test microphone capture pin", microphone, L"Capture"),
      microphone_(microphone) {}

STDMETHODIMP CMicrophoneStream::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (IsEqualIID(riid, IID_IAMStreamConfig)) {
        return GetInterface(static_cast<IAMStreamConfig*>(this), ppv);
    }
    if (IsEqualIID(riid, IID_IKsPropertySet)) {
        return GetInterface(static_cast<IKsPropertySet*>(this), ppv);
    }
    return CSourceStream::NonDelegatingQueryInterface(riid, ppv);
}

AudioMode CMicrophoneStream::OfferedMode() const {
    return formatSet_ ? setMode_ : AudioMode{kChannelChoices[0]};
}

STDMETHODIMP CMicrophoneStream::SetFormat(AM_MEDIA_TYPE* type) {
    CAutoLock lock(m_pLock);
    if (!microphone_->IsStopped()) return VFW_E_NOT_STOPPED;
    AudioMode mode;
    if (type && !FindAudioMode(*type, &mode)) return VFW_E_INVALIDMEDIATYPE;
    const bool oldSet = formatSet_;
    const AudioMode oldMode = setMode_;
    formatSet_ = type != nullptr;
    setMode_ = mode;
    CMediaType offered;
    HRESULT hr = MakeAudioType(OfferedMode(), &offered);
    if (SUCCEEDED(hr)) hr = ReconnectWithType(microphone_, this, offered);
    if (FAILED(hr)) {
        formatSet_ = oldSet;
        setMode_ = oldMode;
        return hr;
    }
    IncrementTypeVersion();
    return S_OK;
}

STDMETHODIMP CMicrophoneStream::GetFormat(AM_MEDIA_TYPE** type) {
    if (!type) return E_POINTER;
    CAutoLock lock(m_pLock);
    CMediaType current;
    if (IsConnected()) {
        current = m_mt;
    } else {
        RETURN_IF_FAILED(MakeAudioType(OfferedMode(), &current));
    }
    *type = CreateMediaType(&current);
    return *type ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP CMicrophoneStream::GetNumberOfCapabilities(int* count, int* size) {
    if (!count || !size) return E_POINTER;
    *count = int(std::size(kChannelChoices));
    *size = sizeof(AUDIO_STREAM_CONFIG_CAPS);
    return S_OK;
}

STDMETHODIMP CMicrophoneStream::GetStreamCaps(int index, AM_MEDIA_TYPE** type, BYTE* caps) {
    if (!type || !caps) return E_POINTER;
    if (index < 0) return E_INVALIDARG;
    if (index >= int(std::size(kChannelChoices))) return S_FALSE;
    const AudioMode mode{kChannelChoices[index]};
    CMediaType mt;
    RETURN_IF_FAILED(MakeAudioType(mode, &mt));
    *type = CreateMediaType(&mt);
    if (!*type) return E_OUTOFMEMORY;
    const AUDIO_STREAM_CONFIG_CAPS ascc = AudioCaps(mode);
    std::memcpy(caps, &ascc, sizeof(ascc));
    return S_OK;
}

HRESULT CMicrophoneStream::CheckMediaType(const CMediaType* type) {
    AudioMode mode;
    if (!FindAudioMode(*type, &mode)) return VFW_E_TYPE_NOT_ACCEPTED;
    if (formatSet_ && mode.channels != setMode_.channels) return VFW_E_TYPE_NOT_ACCEPTED;
    return S_OK;
}

HRESULT CMicrophoneStream::GetMediaType(int position, CMediaType* type) {
    CAutoLock lock(m_pLock);
    if (position < 0) return E_INVALIDARG;
    if (position == 0) return MakeAudioType(OfferedMode(), type);
    if (formatSet_ || position >= int(std::size(kChannelChoices))) return VFW_S_NO_MORE_ITEMS;
    return MakeAudioType(AudioMode{kChannelChoices[position]}, type);
}

HRESULT CMicrophoneStream::DecideBufferSize(IMemAllocator* allocator,
                                            ALLOCATOR_PROPERTIES* request) {
    AudioMode mode;
    if (!FindAudioMode(m_mt, &mode)) return VFW_E_TYPE_NOT_ACCEPTED;
    return SetLeastBuffers(allocator, request, long(kBufferFrames) * BlockAlign(mode), 4, long(BlockAlign(mode)));
}

HRESULT CMicrophoneStream::Active() {
    {
        CAutoLock lock(m_pLock);
        if (IsConnected() && !FindAudioMode(m_mt, &streamMode_)) return VFW_E_TYPE_NOT_ACCEPTED;
        test_signals::ToneOptions options;
        options.sample_rate = kSampleRate;
        options.channels = streamMode_.channels;
        options.frequency = kToneFrequency;
        tone_ = test_signals::ToneGenerator::Create(options);
        if (!tone_) return E_UNEXPECTED;
    }
    return CSourceStream::Active();
}

HRESULT CMicrophoneStream::FillBuffer(IMediaSample* sample) {
    const uint64_t position = tone_->position();
    REFERENCE_TIME start = tone_->TimeOf(position);
    REFERENCE_TIME stop = tone_->TimeOf(position + kBufferFrames);
    // A microphone hands a buffer over once it is full: wait for its end.
    if (microphone_->Pacer().WaitUntil(stop) != S_OK) return S_FALSE;
    BYTE* data = nullptr;
    RETURN_IF_FAILED(sample->GetPointer(&data));
    const long bytes = long(kBufferFrames) * BlockAlign(streamMode_);
    if (sample->GetSize() < bytes) return VFW_E_BUFFER_OVERFLOW;
    tone_->FillBytes(data, size_t(bytes));
    RETURN_IF_FAILED(sample->SetActualDataLength(bytes));
    RETURN_IF_FAILED(sample->SetTime(&start, &stop));
    LONGLONG first = LONGLONG(position), next = LONGLONG(position + kBufferFrames);
    sample->SetMediaTime(&first, &next);
    sample->SetSyncPoint(TRUE);
    sample->SetDiscontinuity(position == 0);
    return S_OK;
}

}  // namespace test_devices
