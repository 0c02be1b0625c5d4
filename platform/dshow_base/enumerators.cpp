#include "dshow_base/enumerators.h"

#include <new>

#include "dshow_base/base_pin.h"
#include "dshow_base/filter.h"

namespace {
template <typename Enum, typename Interface, typename Source>
HRESULT MakeEnumerator(Source* source, const Enum* copyFrom, Interface** ppEnum) {
    *ppEnum = nullptr;
    auto* e = new (std::nothrow) Enum(source, copyFrom);
    if (!e) return E_OUTOFMEMORY;
    *ppEnum = e;
    e->AddRef();
    return S_OK;
}

// COM's rule: fetched may be null only when one item is asked for.
HRESULT CheckNextArguments(ULONG count, const void* items, const ULONG* fetched) {
    if (!items) return E_POINTER;
    if (!fetched && count != 1) return E_INVALIDARG;
    return S_OK;
}
}  // namespace

// ---- CEnumPins

HRESULT CEnumPins::Create(CBaseFilter* filter, IEnumPins** ppEnum) {
    return MakeEnumerator<CEnumPins>(filter, nullptr, ppEnum);
}

CEnumPins::CEnumPins(CBaseFilter* filter, const CEnumPins* copyFrom)
    : CUnknown(L"CEnumPins", nullptr),
      filter_(filter),
      position_(copyFrom ? copyFrom->position_ : 0),
      version_(copyFrom ? copyFrom->version_ : filter->GetPinVersion()) {
    filter_->AddRef();
}

CEnumPins::~CEnumPins() { filter_->Release(); }

STDMETHODIMP CEnumPins::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IEnumPins) return GetInterface(static_cast<IEnumPins*>(this), ppv);
    return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

bool CEnumPins::OutOfSync() const { return version_ != filter_->GetPinVersion(); }

STDMETHODIMP CEnumPins::Next(ULONG count, IPin** pins, ULONG* fetched) {
    RETURN_IF_FAILED(CheckNextArguments(count, pins, fetched));
    if (fetched) *fetched = 0;
    if (OutOfSync()) return VFW_E_ENUM_OUT_OF_SYNC;
    ULONG done = 0;
    const int total = filter_->GetPinCount();
    while (done < count && position_ < total) {
        CBasePin* pin = filter_->GetPin(position_++);
        if (!pin) continue;
        pins[done] = pin;
        pin->AddRef();
        ++done;
    }
    if (fetched) *fetched = done;
    return done == count ? S_OK : S_FALSE;
}

STDMETHODIMP CEnumPins::Skip(ULONG count) {
    if (OutOfSync()) return VFW_E_ENUM_OUT_OF_SYNC;
    const int left = filter_->GetPinCount() - position_;
    if (count > static_cast<ULONG>(left)) {
        position_ += left;
        return S_FALSE;
    }
    position_ += static_cast<int>(count);
    return S_OK;
}

STDMETHODIMP CEnumPins::Reset() {
    version_ = filter_->GetPinVersion();
    position_ = 0;
    return S_OK;
}

STDMETHODIMP CEnumPins::Clone(IEnumPins** ppEnum) {
    if (!ppEnum) return E_POINTER;
    *ppEnum = nullptr;
    if (OutOfSync()) return VFW_E_ENUM_OUT_OF_SYNC;
    return MakeEnumerator<CEnumPins>(filter_, this, ppEnum);
}

// ---- CEnumMediaTypes

HRESULT CEnumMediaTypes::Create(CBasePin* pin, IEnumMediaTypes** ppEnum) {
    return MakeEnumerator<CEnumMediaTypes>(pin, nullptr, ppEnum);
}

CEnumMediaTypes::CEnumMediaTypes(CBasePin* pin, const CEnumMediaTypes* copyFrom)
    : CUnknown(L"CEnumMediaTypes", nullptr),
      pin_(pin),
      position_(copyFrom ? copyFrom->position_ : 0),
      version_(copyFrom ? copyFrom->version_ : pin->GetMediaTypeVersion()) {
    pin_->AddRef();
}

CEnumMediaTypes::~CEnumMediaTypes() { pin_->Release(); }

STDMETHODIMP CEnumMediaTypes::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IEnumMediaTypes) return GetInterface(static_cast<IEnumMediaTypes*>(this), ppv);
    return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

bool CEnumMediaTypes::OutOfSync() const { return version_ != pin_->GetMediaTypeVersion(); }

STDMETHODIMP CEnumMediaTypes::Next(ULONG count, AM_MEDIA_TYPE** types, ULONG* fetched) {
    RETURN_IF_FAILED(CheckNextArguments(count, types, fetched));
    if (fetched) *fetched = 0;
    if (OutOfSync()) return VFW_E_ENUM_OUT_OF_SYNC;
    ULONG done = 0;
    while (done < count) {
        CMediaType mt;
        if (pin_->GetMediaType(position_, &mt) != S_OK) break;
        AM_MEDIA_TYPE* copy = CreateMediaType(&mt);
        if (!copy) {
            // Hand back nothing rather than a partial batch the caller might not free.
            for (ULONG i = 0; i < done; ++i) DeleteMediaType(types[i]);
            if (fetched) *fetched = 0;
            return E_OUTOFMEMORY;
        }
        types[done++] = copy;
        ++position_;
    }
    if (fetched) *fetched = done;
    return done == count ? S_OK : S_FALSE;
}

STDMETHODIMP CEnumMediaTypes::Skip(ULONG count) {
    if (OutOfSync()) return VFW_E_ENUM_OUT_OF_SYNC;
    for (; count > 0; --count) {
        CMediaType mt;
        if (pin_->GetMediaType(position_, &mt) != S_OK) return S_FALSE;
        ++position_;
    }
    return S_OK;
}

STDMETHODIMP CEnumMediaTypes::Reset() {
    version_ = pin_->GetMediaTypeVersion();
    position_ = 0;
    return S_OK;
}

STDMETHODIMP CEnumMediaTypes::Clone(IEnumMediaTypes** ppEnum) {
    if (!ppEnum) return E_POINTER;
    *ppEnum = nullptr;
    if (OutOfSync()) return VFW_E_ENUM_OUT_OF_SYNC;
    return MakeEnumerator<CEnumMediaTypes>(pin_, this, ppEnum);
}
