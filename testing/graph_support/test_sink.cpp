#include "testing/graph_support/test_sink.h"

#include <cstring>
#include <new>

#include "dshow_base/video_media_type.h"

namespace graph_test {

class CTestSink::Pin : public CBaseInputPin {
public:
    Pin(CTestSink* sink) : CBaseInputPin(L"Test sink input", sink, &sink->lock_, L"In"), sink_(sink) {}

    HRESULT CheckMediaType(const CMediaType* mt) override {
        if (!sink_->options_.accepts) return S_OK;
        return sink_->options_.accepts(*mt) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
    }

    HRESULT GetMediaType(int position, CMediaType* mt) override {
        CAutoLock lock(m_pLock);
        const auto& offered = sink_->options_.offered;
        if (position < 0) return E_INVALIDARG;
        if (position >= static_cast<int>(offered.size())) return VFW_S_NO_MORE_ITEMS;
        return mt->Set(offered[position]);
    }

    STDMETHODIMP GetAllocator(IMemAllocator** allocator) override {
        CAutoLock lock(m_pLock);
        const HRESULT hr = CBaseInputPin::GetAllocator(allocator);
        if (SUCCEEDED(hr)) own_ = ComPtr<IMemAllocator>(*allocator);
        return hr;
    }

    STDMETHODIMP NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) override {
        CAutoLock lock(m_pLock);
        switch (sink_->options_.policy) {
            case AllocatorPolicy::kOwnOnly:
                if (!own_ || allocator != own_.Get()) return VFW_E_NO_ALLOCATOR;
                break;
            case AllocatorPolicy::kWritableOnly:
                if (readOnly) return E_FAIL;
                break;
            case AllocatorPolicy::kAny:
                break;
        }
        if (allocator) {
            CAutoLock record(&sink_->recordLock_);
            allocator->GetProperties(&sink_->granted_);
        }
        return CBaseInputPin::NotifyAllocator(allocator, readOnly);
    }

    HRESULT BreakConnect() override {
        own_.Reset();
        return CBaseInputPin::BreakConnect();
    }

    STDMETHODIMP Receive(IMediaSample* sample) override {
        if (!sink_->gate_.Check()) {
            sink_->holding_.Set();
            sink_->gate_.Wait();
        }
        const HRESULT hr = CBaseInputPin::Receive(sample);
        if (hr != S_OK) return hr;
        ReceivedFrame frame;
        BYTE* data = nullptr;
        RETURN_IF_FAILED(sample->GetPointer(&data));
        const long length = sample->GetActualDataLength();
        if (length < 0 || length > sample->GetSize()) return E_UNEXPECTED;
        frame.bytes.assign(data, data + length);
        frame.timed = SUCCEEDED(sample->GetTime(&frame.start, &frame.stop));
        frame.readOnly = m_bReadOnly != FALSE;
        frame.bufferSize = sample->GetSize();
        AM_MEDIA_TYPE* type = nullptr;
        if (sample->GetMediaType(&type) == S_OK && type) {
            if (const BITMAPINFOHEADER* header = video_media::BitmapHeaderOf(*type)) {
                frame.typeWidth = header->biWidth;
                frame.typeHeight = header->biHeight;
            }
            DeleteMediaType(type);
        }
        LONGLONG mediaStop = 0;
        if (sample->GetMediaTime(&frame.mediaStart, &mediaStop) != S_OK) frame.mediaStart = -1;
        frame.discontinuity = sample->IsDiscontinuity() == S_OK;
        if (sink_->options_.scribble && !m_bReadOnly) std::memset(data, 0xEE, static_cast<size_t>(length));
        {
            CAutoLock record(&sink_->recordLock_);
            sink_->frames_.push_back(std::move(frame));
        }
        sink_->changed_.Set();
        return S_OK;
    }

    STDMETHODIMP EndOfStream() override {
        const HRESULT hr = CBaseInputPin::EndOfStream();
        if (hr != S_OK) return hr;
        {
            CAutoLock record(&sink_->recordLock_);
            ++sink_->endOfStream_;
        }
        sink_->changed_.Set();
        sink_->NotifyEvent(EC_COMPLETE, S_OK, 0);
        return S_OK;
    }

    STDMETHODIMP BeginFlush() override {
        {
            CAutoLock record(&sink_->recordLock_);
            ++sink_->beginFlush_;
        }
        return CBaseInputPin::BeginFlush();
    }

    STDMETHODIMP EndFlush() override {
        {
            CAutoLock record(&sink_->recordLock_);
            ++sink_->endFlush_;
        }
        return CBaseInputPin::EndFlush();
    }

    STDMETHODIMP NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override {
        {
            CAutoLock record(&sink_->recordLock_);
            sink_->segments_.push_back(start);
        }
        return CBaseInputPin::NewSegment(start, stop, rate);
    }

    bool UsesOwnAllocator() {
        CAutoLock lock(m_pLock);
        return own_ && own_.Get() == m_pAllocator.Get();
    }

private:
    CTestSink* sink_;
    ComPtr<IMemAllocator> own_;
};

CTestSink::CTestSink(const Options& options)
    : CBaseFilter(L"Test sink", nullptr, &lock_, GUID_NULL), options_(options) {
    gate_.Set();
}

CTestSink::~CTestSink() { delete pin_; }

ComPtr<IBaseFilter> CTestSink::Create(const Options& options, CTestSink** raw) {
    auto* sink = new (std::nothrow) CTestSink(options);
    if (!sink) return {};
    ComPtr<IBaseFilter> filter(sink);
    sink->pin_ = new (std::nothrow) Pin(sink);
    if (!sink->pin_) return {};
    if (raw) *raw = sink;
    return filter;
}

STDMETHODIMP CTestSink::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (riid == IID_IAMFilterMiscFlags) return GetInterface(static_cast<IAMFilterMiscFlags*>(this), ppv);
    return CBaseFilter::NonDelegatingQueryInterface(riid, ppv);
}

CBasePin* CTestSink::GetPin(int n) { return n == 0 ? pin_ : nullptr; }

IPin* CTestSink::Input() { return pin_; }

size_t CTestSink::FrameCount() {
    CAutoLock record(&recordLock_);
    return frames_.size();
}

std::vector<ReceivedFrame> CTestSink::Frames() {
    CAutoLock record(&recordLock_);
    return frames_;
}

int CTestSink::EndOfStreamCount() {
    CAutoLock record(&recordLock_);
    return endOfStream_;
}

int CTestSink::BeginFlushCount() {
    CAutoLock record(&recordLock_);
    return beginFlush_;
}

int CTestSink::EndFlushCount() {
    CAutoLock record(&recordLock_);
    return endFlush_;
}

std::vector<REFERENCE_TIME> CTestSink::SegmentStarts() {
    CAutoLock record(&recordLock_);
    return segments_;
}

bool CTestSink::AllocatorIsOwn() { return pin_->UsesOwnAllocator(); }

ALLOCATOR_PROPERTIES CTestSink::Granted() {
    CAutoLock record(&recordLock_);
    return granted_;
}

void CTestSink::SetOffered(const std::vector<CMediaType>& offered) {
    CAutoLock lock(&lock_);
    options_.offered = offered;
}

void CTestSink::Reset() {
    CAutoLock record(&recordLock_);
    frames_.clear();
    endOfStream_ = beginFlush_ = endFlush_ = 0;
    segments_.clear();
}

bool CTestSink::WaitForFrames(size_t count, DWORD timeoutMs) {
    const DWORD deadline = GetTickCount() + timeoutMs;
    while (FrameCount() < count) {
        const LONG left = static_cast<LONG>(deadline - GetTickCount());
        if (left <= 0) return false;
        changed_.Wait(static_cast<DWORD>(left) < 50 ? static_cast<DWORD>(left) : 50);
    }
    return true;
}

bool CTestSink::WaitForEndOfStream(DWORD timeoutMs) {
    const DWORD deadline = GetTickCount() + timeoutMs;
    while (EndOfStreamCount() == 0) {
        const LONG left = static_cast<LONG>(deadline - GetTickCount());
        if (left <= 0) return false;
        changed_.Wait(static_cast<DWORD>(left) < 50 ? static_cast<DWORD>(left) : 50);
    }
    return true;
}

}  // namespace graph_test
