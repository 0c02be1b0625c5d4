#include "testing/graph_support/test_source.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace graph_test {

std::vector<uint8_t> FramePattern(int index, size_t size) {
    std::vector<uint8_t> bytes(size);
    uint32_t state = 0x9E3779B9u * static_cast<uint32_t>(index + 1);
    for (size_t i = 0; i < size; ++i) {
        state = state * 1664525u + 1013904223u;
        bytes[i] = static_cast<uint8_t>(state >> 24);
    }
    return bytes;
}

class CTestStream : public CSourceStream {
public:
    explicit CTestStream(CTestSource* source)
        : CSourceStream(L"Test source stream", source, L"Output"), source_(source) {}

    HRESULT GetMediaType(int position, CMediaType* mt) override {
        CAutoLock lock(m_pFilter->pStateLock());
        const std::vector<CMediaType>& listed = source_->script_.listed;
        if (position < 0) return E_INVALIDARG;
        if (listed.empty()) return position == 0 ? mt->Set(source_->options_.type) : VFW_S_NO_MORE_ITEMS;
        if (static_cast<size_t>(position) >= listed.size()) return VFW_S_NO_MORE_ITEMS;
        return mt->Set(listed[position]);
    }

    HRESULT CheckMediaType(const CMediaType* mt) override {
        CAutoLock lock(m_pFilter->pStateLock());
        const std::vector<CMediaType>& listed = source_->script_.listed;
        if (listed.empty()) return *mt == source_->options_.type ? S_OK : E_FAIL;
        const CMediaType& first = listed.front();
        return mt->majortype == first.majortype && mt->subtype == first.subtype ? S_OK : S_FALSE;
    }

    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) override {
        const std::vector<ScriptedFrame>& frames = source_->script_.frames;
        long needed = 0;
        if (frames.empty()) {
            needed = std::max<long>(props->cbBuffer, static_cast<long>(m_mt.GetSampleSize()));
            props->cBuffers = std::max(props->cBuffers, 3L);
        } else {
            // Exactly the largest scripted frame, so that the filter under test
            // sees the buffer sizes the script implies.
            needed = 1;
            for (const ScriptedFrame& f : frames) needed = std::max(needed, f.length);
            props->cBuffers = 2;
        }
        props->cbBuffer = needed;
        ALLOCATOR_PROPERTIES actual{};
        RETURN_IF_FAILED(allocator->SetProperties(props, &actual));
        return actual.cbBuffer >= needed ? S_OK : E_FAIL;
    }

    HRESULT OnThreadStartPlay() override {
        // A script is delivered once over any number of runs.
        if (!source_->script_.frames.empty()) return S_OK;
        next_ = 0;
        InterlockedExchange(&source_->framesSent_, 0);
        return S_OK;
    }

    HRESULT FillBuffer(IMediaSample* sample) override {
        const CTestSource::Options& options = source_->options_;
        const std::vector<ScriptedFrame>& frames = source_->script_.frames;
        const bool scripted = !frames.empty();
        if (scripted ? static_cast<size_t>(next_) >= frames.size()
                     : options.frameCount >= 0 && next_ >= options.frameCount) {
            return S_FALSE;
        }
        const size_t size = scripted ? static_cast<size_t>(frames[next_].length) : m_mt.GetSampleSize();
        if (static_cast<long>(size) > sample->GetSize()) return scripted ? VFW_E_BUFFER_OVERFLOW : E_UNEXPECTED;
        BYTE* data = nullptr;
        RETURN_IF_FAILED(sample->GetPointer(&data));
        std::vector<uint8_t> pattern = FramePattern(next_, size);
        if (size) std::memcpy(data, pattern.data(), size);
        RETURN_IF_FAILED(sample->SetActualDataLength(static_cast<long>(size)));
        REFERENCE_TIME start = next_ * options.frameDuration;
        REFERENCE_TIME stop = start + options.frameDuration;
        sample->SetTime(&start, &stop);
        sample->SetSyncPoint(TRUE);
        if (scripted) {
            const CMediaType& attached = frames[next_].attached;
            if (attached.majortype != GUID_NULL) sample->SetMediaType(const_cast<CMediaType*>(&attached));
            LONGLONG mediaStart = next_, mediaStop = mediaStart + 1;
            sample->SetMediaTime(&mediaStart, &mediaStop);
            CAutoLock lock(&source_->deliveredLock_);
            source_->delivered_.push_back(std::move(pattern));
        }
        ++next_;
        InterlockedIncrement(&source_->framesSent_);
        if (options.pacingMs) Sleep(options.pacingMs);
        return S_OK;
    }

private:
    CTestSource* source_;
    int next_ = 0;
};

CTestSource::CTestSource(const Options& options, const Script& script)
    : CSource(L"Test source", nullptr, GUID_NULL), options_(options), script_(script) {}

ComPtr<IBaseFilter> CTestSource::CreateScripted(const Script& script, CTestSource** raw) {
    auto* source = new (std::nothrow) CTestSource(Options{}, script);
    if (!source) return {};
    ComPtr<IBaseFilter> filter(source);
    // The stream registers itself with the source, which deletes it.
    if (!new (std::nothrow) CTestStream(source)) return {};
    if (raw) *raw = source;
    return filter;
}

ComPtr<IBaseFilter> CTestSource::Create(const Options& options, CTestSource** raw) {
    auto* source = new (std::nothrow) CTestSource(options, Script{});
    if (!source) return {};
    ComPtr<IBaseFilter> filter(source);
    // The stream registers itself with the source, which deletes it.
    if (!new (std::nothrow) CTestStream(source)) return {};
    if (raw) *raw = source;
    return filter;
}

IPin* CTestSource::Output() { return GetPin(0); }

std::vector<std::vector<uint8_t>> CTestSource::Delivered() {
    CAutoLock lock(&deliveredLock_);
    return delivered_;
}

void CTestSource::SetType(const CMediaType& type) {
    CAutoLock lock(&m_cStateLock);
    options_.type = type;
}

}  // namespace graph_test
