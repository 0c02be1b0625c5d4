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

    HRESULT GetMediaType(CMediaType* mt) override {
        CAutoLock lock(m_pFilter->pStateLock());
        return mt->Set(source_->options_.type);
    }

    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) override {
        props->cbBuffer = std::max<long>(props->cbBuffer, static_cast<long>(m_mt.GetSampleSize()));
        props->cBuffers = std::max(props->cBuffers, 3L);
        ALLOCATOR_PROPERTIES actual{};
        RETURN_IF_FAILED(allocator->SetProperties(props, &actual));
        return actual.cbBuffer >= props->cbBuffer ? S_OK : E_FAIL;
    }

    HRESULT OnThreadStartPlay() override {
        next_ = 0;
        InterlockedExchange(&source_->framesSent_, 0);
        return S_OK;
    }

    HRESULT FillBuffer(IMediaSample* sample) override {
        const CTestSource::Options& options = source_->options_;
        if (options.frameCount >= 0 && next_ >= options.frameCount) return S_FALSE;
        const size_t size = m_mt.GetSampleSize();
        if (static_cast<long>(size) > sample->GetSize()) return E_UNEXPECTED;
        BYTE* data = nullptr;
        RETURN_IF_FAILED(sample->GetPointer(&data));
        const std::vector<uint8_t> pattern = FramePattern(next_, size);
        std::memcpy(data, pattern.data(), size);
        sample->SetActualDataLength(static_cast<long>(size));
        REFERENCE_TIME start = next_ * options.frameDuration;
        REFERENCE_TIME stop = start + options.frameDuration;
        sample->SetTime(&start, &stop);
        sample->SetSyncPoint(TRUE);
        ++next_;
        InterlockedIncrement(&source_->framesSent_);
        if (options.pacingMs) Sleep(options.pacingMs);
        return S_OK;
    }

private:
    CTestSource* source_;
    int next_ = 0;
};

CTestSource::CTestSource(const Options& options)
    : CSource(L"Test source", nullptr, GUID_NULL), options_(options) {}

ComPtr<IBaseFilter> CTestSource::Create(const Options& options, CTestSource** raw) {
    auto* source = new (std::nothrow) CTestSource(options);
    if (!source) return {};
    ComPtr<IBaseFilter> filter(source);
    // The stream registers itself with the source, which deletes it.
    if (!new (std::nothrow) CTestStream(source)) return {};
    if (raw) *raw = source;
    return filter;
}

IPin* CTestSource::Output() { return GetPin(0); }

void CTestSource::SetType(const CMediaType& type) {
    CAutoLock lock(&m_cStateLock);
    options_.type = type;
}

}  // namespace graph_test
