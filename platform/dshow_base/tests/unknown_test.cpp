#include "dshow_base/com_ptr.h"
#include "dshow_base/unknown.h"

#include <gtest/gtest.h>

namespace {

// {6E1F38A0-1B11-4E0B-9A55-0D1E4B9E0001}
const GUID IID_ITestThing = {0x6e1f38a0, 0x1b11, 0x4e0b, {0x9a, 0x55, 0x0d, 0x1e, 0x4b, 0x9e, 0x00, 0x01}};

struct ITestThing : IUnknown {
    virtual int STDMETHODCALLTYPE Value() = 0;
};

class Thing : public CUnknown, public ITestThing {
public:
    explicit Thing(LPUNKNOWN outer, bool* destroyed) : CUnknown(L"Thing", outer), destroyed_(destroyed) {}
    ~Thing() override { *destroyed_ = true; }
    DECLARE_IUNKNOWN
    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID riid, void** ppv) override {
        if (ppv && riid == IID_ITestThing) return GetInterface(static_cast<ITestThing*>(this), ppv);
        return CUnknown::NonDelegatingQueryInterface(riid, ppv);
    }
    int STDMETHODCALLTYPE Value() override { return 42; }

private:
    bool* destroyed_;
};

IUnknown* Inner(Thing* t) {
    return reinterpret_cast<IUnknown*>(static_cast<INonDelegatingUnknown*>(t));
}

// An aggregator that exposes ITestThing from its inner object.
class Outer : public IUnknown {
public:
    bool innerDestroyed = false;
    Outer() { inner_ = Inner(new Thing(this, &innerDestroyed)); inner_->AddRef(); }
    ~Outer() { inner_->Release(); }
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (riid == IID_IUnknown) { *ppv = this; AddRef(); return S_OK; }
        if (riid == IID_ITestThing) return inner_->QueryInterface(riid, ppv);
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
    STDMETHODIMP_(ULONG) Release() override { return --refs; }
    ULONG refs = 1;

private:
    IUnknown* inner_;
};

TEST(CUnknownTest, StandaloneObjectCountsReferencesAndDeletesAtZero) {
    bool destroyed = false;
    auto* thing = new Thing(nullptr, &destroyed);
    IUnknown* unk = Inner(thing);
    EXPECT_EQ(1u, unk->AddRef());
    ITestThing* itf = nullptr;
    ASSERT_EQ(S_OK, unk->QueryInterface(IID_ITestThing, reinterpret_cast<void**>(&itf)));
    EXPECT_EQ(42, itf->Value());
    // QueryInterface for IUnknown from any interface gives the same identity.
    IUnknown* identity = nullptr;
    ASSERT_EQ(S_OK, itf->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)));
    EXPECT_EQ(unk, identity);
    EXPECT_EQ(2u, identity->Release());
    EXPECT_EQ(1u, itf->Release());
    EXPECT_FALSE(destroyed);
    EXPECT_EQ(0u, unk->Release());
    EXPECT_TRUE(destroyed);
}

TEST(CUnknownTest, UnknownInterfaceIsRefusedWithNullOut) {
    bool destroyed = false;
    ComPtr<IUnknown> unk;
    unk.Attach(Inner(new Thing(nullptr, &destroyed)));
    unk->AddRef();
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_NOINTERFACE, unk->QueryInterface(IID_IPersist, &out));
    EXPECT_EQ(nullptr, out);
    EXPECT_EQ(E_POINTER, unk->QueryInterface(IID_ITestThing, nullptr));
    unk.Reset();
    EXPECT_TRUE(destroyed);
}

TEST(CUnknownTest, AggregatedObjectForwardsToOuterIdentityAndCount) {
    Outer outer;
    ITestThing* itf = nullptr;
    ASSERT_EQ(S_OK, outer.QueryInterface(IID_ITestThing, reinterpret_cast<void**>(&itf)));
    EXPECT_EQ(2u, outer.refs);  // the inner object's interface AddRefs the outer
    IUnknown* identity = nullptr;
    ASSERT_EQ(S_OK, itf->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)));
    EXPECT_EQ(static_cast<IUnknown*>(&outer), identity);
    identity->Release();
    itf->Release();
    EXPECT_EQ(1u, outer.refs);
    EXPECT_FALSE(outer.innerDestroyed);
}

TEST(ComPtrTest, PutReleasesPreviousAndCopyToAddsReference) {
    bool firstGone = false, secondGone = false;
    ComPtr<IUnknown> p;
    *p.Put() = Inner(new Thing(nullptr, &firstGone));
    p->AddRef();
    ComPtr<IUnknown> copy = p;
    IUnknown* raw = nullptr;
    ASSERT_EQ(S_OK, copy.CopyTo(&raw));
    EXPECT_EQ(4u, raw->AddRef());
    raw->Release();
    raw->Release();
    *p.Put() = Inner(new Thing(nullptr, &secondGone));
    p->AddRef();
    EXPECT_FALSE(firstGone);  // still held by copy
    copy.Reset();
    EXPECT_TRUE(firstGone);
    IUnknown* detached = p.Detach();
    EXPECT_FALSE(secondGone);
    detached->Release();
    EXPECT_TRUE(secondGone);
}

}  // namespace
