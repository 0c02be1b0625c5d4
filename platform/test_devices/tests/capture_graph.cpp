#include "capture_graph.h"

#include <qedit.h>

#include "device_listing.h"

namespace test_devices {

double Now() {
    LARGE_INTEGER frequency, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return double(now.QuadPart) / double(frequency.QuadPart);
}

// The grabber's callback: copies of every sample, taken on the streaming thread.
class SampleLog final : public ISampleGrabberCB {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_ISampleGrabberCB)) {
            *ppv = static_cast<ISampleGrabberCB*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&refs_); }
    STDMETHODIMP_(ULONG) Release() override {
        const LONG left = InterlockedDecrement(&refs_);
        if (left == 0) delete this;
        return left;
    }

    STDMETHODIMP SampleCB(double, IMediaSample* sample) override {
        ReceivedSample r;
        r.arrival = Now();
        if (sample->GetTime(&r.start, &r.stop) != S_OK) r.start = r.stop = -1;
        r.syncPoint = sample->IsSyncPoint() == S_OK;
        r.discontinuity = sample->IsDiscontinuity() == S_OK;
        BYTE* data = nullptr;
        if (SUCCEEDED(sample->GetPointer(&data))) {
            r.data.assign(data, data + sample->GetActualDataLength());
        }
        CAutoLock lock(&lock_);
        samples_.push_back(std::move(r));
        return S_OK;
    }
    STDMETHODIMP BufferCB(double, BYTE*, LONG) override { return E_NOTIMPL; }

    std::vector<ReceivedSample> Samples() {
        CAutoLock lock(&lock_);
        return samples_;
    }
    size_t Count() {
        CAutoLock lock(&lock_);
        return samples_.size();
    }
    void Clear() {
        CAutoLock lock(&lock_);
        samples_.clear();
    }

private:
    volatile LONG refs_ = 1;
    CCritSec lock_;
    std::vector<ReceivedSample> samples_;
};

namespace {

// qedit.h declares the grabber's interfaces but not these two classes.
const CLSID kSampleGrabber = {0xc1f400a0, 0x3f08, 0x11d3, {0x9f, 0x0b, 0x00, 0x60, 0x08, 0x03, 0x9e, 0x37}};
const CLSID kNullRenderer = {0xc1f400a4, 0x3f08, 0x11d3, {0x9f, 0x0b, 0x00, 0x60, 0x08, 0x03, 0x9e, 0x37}};

HRESULT PinOf(IBaseFilter* filter, PIN_DIRECTION direction, ComPtr<IPin>* pin) {
    ComPtr<IEnumPins> pins;
    RETURN_IF_FAILED(filter->EnumPins(pins.Put()));
    ComPtr<IPin> p;
    while (pins->Next(1, p.Put(), nullptr) == S_OK) {
        PIN_DIRECTION d;
        if (SUCCEEDED(p->QueryDirection(&d)) && d == direction) {
            *pin = p;
            return S_OK;
        }
    }
    return VFW_E_NOT_FOUND;
}

}  // namespace

CaptureGraph::CaptureGraph() : log_(new SampleLog) {}

CaptureGraph::~CaptureGraph() {
    if (control_) control_->Stop();
    if (grabber_) grabber_->SetCallback(nullptr, 0);
    log_->Release();
}

HRESULT CaptureGraph::Build(IBaseFilter* device, IBaseFilter* between) {
    RETURN_IF_FAILED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                      graph_.PutVoid()));
    RETURN_IF_FAILED(graph_.As(&control_));
    RETURN_IF_FAILED(CoCreateInstance(kSampleGrabber, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                      grabberFilter_.PutVoid()));
    RETURN_IF_FAILED(grabberFilter_->QueryInterface(IID_ISampleGrabber, grabber_.PutVoid()));
    RETURN_IF_FAILED(CoCreateInstance(kNullRenderer, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                      renderer_.PutVoid()));
    RETURN_IF_FAILED(grabber_->SetBufferSamples(FALSE));
    RETURN_IF_FAILED(grabber_->SetOneShot(FALSE));
    RETURN_IF_FAILED(grabber_->SetCallback(log_, 0));
    RETURN_IF_FAILED(graph_->AddFilter(device, L"Device"));
    RETURN_IF_FAILED(graph_->AddFilter(grabberFilter_.Get(), L"Grabber"));
    RETURN_IF_FAILED(graph_->AddFilter(renderer_.Get(), L"Sink"));
    ComPtr<IPin> capture, rendererIn;
    RETURN_IF_FAILED(CapturePin(device, &capture));
    RETURN_IF_FAILED(PinOf(grabberFilter_.Get(), PINDIR_INPUT, &grabberIn_));
    RETURN_IF_FAILED(PinOf(grabberFilter_.Get(), PINDIR_OUTPUT, &grabberOut_));
    RETURN_IF_FAILED(PinOf(renderer_.Get(), PINDIR_INPUT, &rendererIn));
    if (between) {
        ComPtr<IPin> in, out;
        RETURN_IF_FAILED(graph_->AddFilter(between, L"Between"));
        RETURN_IF_FAILED(PinOf(between, PINDIR_INPUT, &in));
        RETURN_IF_FAILED(PinOf(between, PINDIR_OUTPUT, &out));
        RETURN_IF_FAILED(graph_->ConnectDirect(capture.Get(), in.Get(), nullptr));
        capture = out;
    }
    RETURN_IF_FAILED(graph_->ConnectDirect(capture.Get(), grabberIn_.Get(), nullptr));
    return graph_->ConnectDirect(grabberOut_.Get(), rendererIn.Get(), nullptr);
}

HRESULT CaptureGraph::RemoveClock() {
    ComPtr<IMediaFilter> filter;
    RETURN_IF_FAILED(graph_.As(&filter));
    return filter->SetSyncSource(nullptr);
}

CMediaType CaptureGraph::ConnectedType() const {
    AM_MEDIA_TYPE type{};
    CMediaType result;
    if (SUCCEEDED(grabberIn_->ConnectionMediaType(&type))) {
        result = type;
        FreeMediaType(type);
    }
    return result;
}

std::vector<CMediaType> CaptureGraph::GrabberOutputTypes() const {
    std::vector<CMediaType> types;
    ComPtr<IEnumMediaTypes> e;
    if (FAILED(grabberOut_->EnumMediaTypes(e.Put()))) return types;
    AM_MEDIA_TYPE* type = nullptr;
    while (e->Next(1, &type, nullptr) == S_OK) {
        types.emplace_back(*type);
        DeleteMediaType(type);
    }
    return types;
}

std::vector<ReceivedSample> CaptureGraph::Samples() const { return log_->Samples(); }
size_t CaptureGraph::SampleCount() const { return log_->Count(); }
void CaptureGraph::ClearSamples() { log_->Clear(); }

double CaptureGraph::WaitForFirstSample(DWORD timeoutMs) const {
    for (DWORD waited = 0; waited < timeoutMs; waited += 5) {
        const std::vector<ReceivedSample> samples = log_->Samples();
        if (!samples.empty()) return samples[0].arrival;
        Sleep(5);
    }
    return 0;
}

}  // namespace test_devices
