#include "webcam_engine/tests/effect_double.h"

#include <cstring>
#include <mutex>
#include <new>

#include "dshow_base/streams.h"
#include "filters/effect/effect_filter_api.h"

namespace lumivox_test {
namespace {

std::mutex g_callsLock;
std::vector<EffectCall> g_calls;
ComPtr<IBaseFilter> g_last;  // released when the scope ends

void Record(EffectCall call) {
    std::lock_guard<std::mutex> lock(g_callsLock);
    g_calls.push_back(std::move(call));
}

EffectCall Call(const char* method, const wchar_t* file, std::initializer_list<int> values) {
    EffectCall call;
    call.method = method;
    if (file) call.file = file;
    int i = 0;
    for (int v : values) call.values[i++] = v;
    return call;
}

class CEffectDouble : public CTransformFilter, public IEffectControl {
public:
    explicit CEffectDouble(LPUNKNOWN outer) : CTransformFilter(TEXT("Effect double"), outer, CLSID_EffectFilter) {}

    DECLARE_IUNKNOWN
    STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override {
        if (IsEqualIID(riid, IID_IEffectControl)) return GetInterface(static_cast<IEffectControl*>(this), ppv);
        return CTransformFilter::NonDelegatingQueryInterface(riid, ppv);
    }

    HRESULT CheckInputType(const CMediaType* in) override {
        const bool known = in->subtype == MEDIASUBTYPE_RGB24 || in->subtype == MEDIASUBTYPE_YUY2 ||
                           in->subtype.Data1 == MAKEFOURCC('I', '4', '2', '0');
        return in->majortype == MEDIATYPE_Video && known && in->formattype == FORMAT_VideoInfo &&
                       in->cbFormat >= sizeof(VIDEOINFOHEADER)
                   ? S_OK
                   : VFW_E_TYPE_NOT_ACCEPTED;
    }
    HRESULT CheckTransform(const CMediaType* in, const CMediaType* out) override {
        return CheckInputType(in) == S_OK && *in == *out ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
    }
    HRESULT GetMediaType(int position, CMediaType* mt) override {
        if (!m_pInput->IsConnected()) return E_UNEXPECTED;
        if (position < 0) return E_INVALIDARG;
        if (position > 0) return VFW_S_NO_MORE_ITEMS;
        *mt = m_pInput->CurrentMediaType();
        return S_OK;
    }
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) override {
        const auto* info = reinterpret_cast<const VIDEOINFOHEADER*>(m_pInput->CurrentMediaType().pbFormat);
        props->cbBuffer = std::max<long>(props->cbBuffer, static_cast<long>(info->bmiHeader.biSizeImage));
        props->cBuffers = std::max<long>(props->cBuffers, 2);
        ALLOCATOR_PROPERTIES actual{};
        RETURN_IF_FAILED(allocator->SetProperties(props, &actual));
        return actual.cbBuffer < props->cbBuffer ? E_FAIL : S_OK;
    }
    HRESULT Transform(IMediaSample* in, IMediaSample* out) override {
        BYTE *src = nullptr, *dst = nullptr;
        RETURN_IF_FAILED(in->GetPointer(&src));
        RETURN_IF_FAILED(out->GetPointer(&dst));
        const long length = std::min(in->GetActualDataLength(), out->GetSize());
        std::memcpy(dst, src, length);
        out->SetActualDataLength(length);
        REFERENCE_TIME start = 0, stop = 0;
        if (SUCCEEDED(in->GetTime(&start, &stop))) out->SetTime(&start, &stop);
        out->SetSyncPoint(TRUE);
        return S_OK;
    }

    // IEffectControl: recorded; codes outside 0..kEffectCodeCount refused as the real one does.
    STDMETHODIMP SetEffectType(int code) override {
        Record(Call("SetEffectType", nullptr, {code}));
        return code >= 0 && code <= kEffectCodeCount ? S_OK : E_INVALIDARG;
    }
    STDMETHODIMP GetEffectType(int* code) override {
        if (!code) return E_POINTER;
        *code = 0;
        return S_OK;
    }
    STDMETHODIMP GetFirstFrame(const wchar_t* file, int width, int height, BYTE* buffer, int red, int green,
                               int blue) override {
        EffectCall call = Call("GetFirstFrame", file, {width, height, red, green, blue});
        call.buffer = buffer;
        Record(call);
        if (!buffer || width <= 0 || height <= 0) return E_INVALIDARG;
        for (int i = 0; i < width * height; ++i) {
            buffer[3 * i] = static_cast<BYTE>(red);
            buffer[3 * i + 1] = static_cast<BYTE>(green);
            buffer[3 * i + 2] = static_cast<BYTE>(blue);
        }
        return S_OK;
    }
    STDMETHODIMP SetStaticFrame(const wchar_t* file, int a, int b) override {
        Record(Call("SetStaticFrame", file, {a, b}));
        return S_OK;
    }
    STDMETHODIMP SetGifFrame(const wchar_t* file, int a, int b) override {
        Record(Call("SetGifFrame", file, {a, b}));
        return S_OK;
    }
    STDMETHODIMP SetFlashFrame(const wchar_t* file, int a, int b) override {
        Record(Call("SetFlashFrame", file, {a, b}));
        return S_OK;
    }
};

// Lives for the process; COM's references to it are bookkeeping only.
class DoubleFactory : public IClassFactory {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IClassFactory) {
            *ppv = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        auto* filter = new (std::nothrow) CEffectDouble(nullptr);
        if (!filter) return E_OUTOFMEMORY;
        filter->NonDelegatingAddRef();
        {
            std::lock_guard<std::mutex> lock(g_callsLock);
            filter->NonDelegatingQueryInterface(IID_IBaseFilter, g_last.PutVoid());
        }
        const HRESULT hr = filter->NonDelegatingQueryInterface(riid, ppv);
        filter->NonDelegatingRelease();
        return hr;
    }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }
};

DoubleFactory g_factory;

}  // namespace

ScopedEffectDouble::ScopedEffectDouble()
    : result_(CoRegisterClassObject(CLSID_EffectFilter, &g_factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                                    &cookie_)) {
    std::lock_guard<std::mutex> lock(g_callsLock);
    g_calls.clear();
}

ScopedEffectDouble::~ScopedEffectDouble() {
    if (cookie_) CoRevokeClassObject(cookie_);
    std::lock_guard<std::mutex> lock(g_callsLock);
    g_last.Reset();
}

ComPtr<IBaseFilter> ScopedEffectDouble::LastFilter() const {
    std::lock_guard<std::mutex> lock(g_callsLock);
    return g_last;
}

std::vector<EffectCall> ScopedEffectDouble::Calls() const {
    std::lock_guard<std::mutex> lock(g_callsLock);
    return g_calls;
}

}  // namespace lumivox_test
