#include "instance_census.h"

#include "dshow_base/com_ptr.h"
#include "engine_test_support.h"

namespace korvel_test {

// The class object registered in the process in front of the real one.
class InstanceCensus::Factory : public IClassFactory {
public:
    Factory(InstanceCensus* census, REFCLSID clsid) : census_(census) {
        const CLSID actual = ClassComCreates(clsid);
        result_ = CoGetClassObject(actual, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory, real_.PutVoid());
        if (SUCCEEDED(result_))
            result_ = CoRegisterClassObject(actual, this, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie_);
    }
    virtual ~Factory() {
        if (cookie_) CoRevokeClassObject(cookie_);
    }
    Factory(const Factory&) = delete;
    Factory& operator=(const Factory&) = delete;
    HRESULT Result() const { return result_; }

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IClassFactory) {
            *ppv = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    // Owned by the census, which revokes it before deleting it.
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
        const HRESULT hr = real_->CreateInstance(outer, riid, ppv);
        if (SUCCEEDED(hr) && !outer) census_->Keep(static_cast<IUnknown*>(*ppv));
        return hr;
    }
    STDMETHODIMP LockServer(BOOL lock) override { return real_->LockServer(lock); }

private:
    InstanceCensus* census_;
    HRESULT result_ = E_FAIL;
    DWORD cookie_ = 0;
    ComPtr<IClassFactory> real_;
};

InstanceCensus::InstanceCensus(const CLSID* classes, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        factories_.push_back(std::make_unique<Factory>(this, classes[i]));
        if (SUCCEEDED(result_) && FAILED(factories_.back()->Result())) result_ = factories_.back()->Result();
    }
}

InstanceCensus::~InstanceCensus() {
    factories_.clear();
    ReleaseAndCountHeldElsewhere();
}

void InstanceCensus::Keep(IUnknown* object) {
    IUnknown* identity = nullptr;
    if (FAILED(object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)))) return;
    std::lock_guard<std::mutex> hold(lock_);
    kept_.push_back(identity);
    ++created_;
}

int InstanceCensus::Created() const {
    std::lock_guard<std::mutex> hold(lock_);
    return created_;
}

int InstanceCensus::ReleaseAndCountHeldElsewhere() {
    std::vector<IUnknown*> kept;
    {
        std::lock_guard<std::mutex> hold(lock_);
        kept.swap(kept_);
    }
    int held = 0;
    for (IUnknown* object : kept) {
        if (object->Release() != 0) ++held;
    }
    return held;
}

}  // namespace korvel_test
