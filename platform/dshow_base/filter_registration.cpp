#include "dshow_base/filter_registration.h"

#include <dshow.h>

#include <vector>

#include "dshow_base/com_apartment.h"
#include "dshow_base/com_ptr.h"
#include "dshow_base/registry.h"

namespace {

// REGFILTER2 version 1 over a copy of the setup pins (REGFILTERPINS wants a
// non-const name; the mapper only reads it).
class FilterDescription {
public:
    FilterDescription(const AMOVIESETUP_FILTER* setup, DWORD merit) {
        const UINT count = setup ? setup->nPins : 0;
        for (UINT i = 0; i < count; ++i) {
            const AMOVIESETUP_PIN& p = setup->lpPin[i];
            pins_.push_back({const_cast<LPWSTR>(p.strName), p.bRendered, p.bOutput, p.bZero, p.bMany,
                             p.clsConnectsToFilter, p.strConnectsToPin, p.nMediaTypes, p.lpMediaType});
        }
        desc_.dwVersion = 1;
        desc_.dwMerit = merit;
        desc_.cPins = static_cast<ULONG>(pins_.size());
        desc_.rgPins = pins_.empty() ? nullptr : pins_.data();
    }
    const REGFILTER2* Get() const { return &desc_; }

private:
    std::vector<REGFILTERPINS> pins_;
    REGFILTER2 desc_ = {};
};

HRESULT CreateMapper(ComPtr<IFilterMapper2>* mapper) {
    return CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER, IID_IFilterMapper2,
                            mapper->PutVoid());
}

bool IsNotFound(HRESULT hr) {
    return hr == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) || hr == HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND) ||
           hr == VFW_E_NOT_FOUND;
}

}  // namespace

HRESULT RegisterFilterEntry(REFCLSID clsid, LPCWSTR name, const CLSID* category, LPCWSTR instance,
                            const AMOVIESETUP_FILTER* setup, DWORD merit) {
    ComApartment com;
    ComPtr<IFilterMapper2> mapper;
    RETURN_IF_FAILED(CreateMapper(&mapper));
    const FilterDescription desc(setup, merit);
    return mapper->RegisterFilter(clsid, name, nullptr, category ? category : &CLSID_LegacyAmFilterCategory,
                                  instance, desc.Get());
}

HRESULT UnregisterFilterEntry(REFCLSID clsid, const CLSID* category, LPCWSTR instance) {
    ComApartment com;
    ComPtr<IFilterMapper2> mapper;
    RETURN_IF_FAILED(CreateMapper(&mapper));
    const CLSID& listed = category ? *category : CLSID_LegacyAmFilterCategory;
    const HRESULT hr = mapper->UnregisterFilter(&listed, instance, clsid);
    if (FAILED(hr) && !IsNotFound(hr)) return hr;
    // The mapper leaves the category's instance list behind when the last
    // entry goes (a device category on a machine without cameras): removed,
    // so that registering and unregistering leaves the registry as it was.
    return DeleteKeyIfEmpty(HKEY_CLASSES_ROOT, L"CLSID\\" + GuidString(listed) + L"\\Instance");
}
