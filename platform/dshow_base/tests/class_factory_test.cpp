// The module's COM entry points: class objects, creation, aggregation and
// the unload answer, driven through the exports as COM calls them.
#include <gtest/gtest.h>

#include "server_module/server_module_ids.h"
#include "server_module_loader.h"

namespace {

class ClassFactoryTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(module_.Loaded()) << "test module missing"; }
    ScopedCom com_;
    ServerModule module_;
};

// An aggregator holding the test object by its inner IUnknown.
class Outer : public IUnknown {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (IsEqualIID(riid, IID_IUnknown)) {
            *ppv = static_cast<IUnknown*>(this);
            AddRef();
            return S_OK;
        }
        if (IsEqualIID(riid, IID_ITestThing) && inner) return inner->QueryInterface(riid, ppv);
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
    STDMETHODIMP_(ULONG) Release() override { return --refs; }

    ULONG refs = 1;
    ComPtr<IUnknown> inner;
};

TEST_F(ClassFactoryTest, ExportsAnswerOnlyForTheirClassesAndInterfaces) {
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, module_.GetClassObject(IID_ITestThing, IID_IClassFactory, &out));
    EXPECT_EQ(nullptr, out);
    out = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_NOINTERFACE, module_.GetClassObject(CLSID_TestThing, IID_ITestThing, &out));
    EXPECT_EQ(nullptr, out);
    EXPECT_EQ(E_POINTER, module_.GetClassObject(CLSID_TestThing, IID_IClassFactory, nullptr));
    EXPECT_EQ(S_OK, module_.CanUnloadNow());  // the failed calls left nothing alive
}

TEST_F(ClassFactoryTest, ObjectsAndLocksKeepTheModuleLoaded) {
    EXPECT_EQ(S_OK, module_.CanUnloadNow());
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(S_OK, module_.GetClassObject(CLSID_TestThing, IID_IClassFactory, factory.PutVoid()));
    EXPECT_EQ(S_FALSE, module_.CanUnloadNow());  // a held factory counts

    ComPtr<ITestThing> thing;
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_ITestThing, thing.PutVoid()));
    thing->SetValue(5);
    EXPECT_EQ(5, thing->Value());
    ComPtr<ITestThing> second;
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_ITestThing, second.PutVoid()));
    EXPECT_NE(thing.Get(), second.Get());
    EXPECT_EQ(0, second->Value());

    EXPECT_EQ(S_OK, factory->LockServer(TRUE));
    EXPECT_EQ(S_OK, factory->LockServer(TRUE));
    factory.Reset();
    thing.Reset();
    EXPECT_EQ(S_FALSE, module_.CanUnloadNow());  // one object left
    second.Reset();
    EXPECT_EQ(S_FALSE, module_.CanUnloadNow());  // two locks left

    ASSERT_EQ(S_OK, module_.GetClassObject(CLSID_TestThing, IID_IClassFactory, factory.PutVoid()));
    factory->LockServer(FALSE);
    factory->LockServer(FALSE);
    factory.Reset();
    EXPECT_EQ(S_OK, module_.CanUnloadNow());
}

TEST_F(ClassFactoryTest, CreationFailuresReturnTheErrorAndLeakNothing) {
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_ACCESSDENIED, module_.Create(CLSID_TestRefusing, nullptr, IID_ITestThing, &out));
    EXPECT_EQ(nullptr, out);
    out = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_NOINTERFACE, module_.Create(CLSID_TestThing, nullptr, IID_IPersist, &out));
    EXPECT_EQ(nullptr, out);
    EXPECT_EQ(S_OK, module_.CanUnloadNow());  // both constructed objects were deleted
}

TEST_F(ClassFactoryTest, AggregationOnlyThroughTheInnerUnknown) {
    Outer outer;
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(CLASS_E_NOAGGREGATION, module_.Create(CLSID_TestThing, &outer, IID_ITestThing, &out));
    EXPECT_EQ(nullptr, out);
    EXPECT_EQ(S_OK, module_.CanUnloadNow());
    EXPECT_EQ(1u, outer.refs);

    ASSERT_EQ(S_OK, module_.Create(CLSID_TestThing, &outer, IID_IUnknown, outer.inner.PutVoid()));
    EXPECT_EQ(1u, outer.refs);  // the inner object does not hold its aggregator
    ComPtr<ITestThing> thing;
    ASSERT_EQ(S_OK, outer.QueryInterface(IID_ITestThing, thing.PutVoid()));
    EXPECT_EQ(2u, outer.refs);  // the inner interface counts on the outer object
    ComPtr<IUnknown> identity;
    ASSERT_EQ(S_OK, thing->QueryInterface(IID_IUnknown, identity.PutVoid()));
    EXPECT_EQ(static_cast<IUnknown*>(&outer), identity.Get());
    identity.Reset();
    thing.Reset();
    EXPECT_EQ(1u, outer.refs);
    EXPECT_EQ(S_FALSE, module_.CanUnloadNow());
    outer.inner.Reset();
    EXPECT_EQ(S_OK, module_.CanUnloadNow());
}

TEST_F(ClassFactoryTest, InitRoutinesRanOnceAtLoad) {
    ComPtr<ITestThing> thing;
    ASSERT_EQ(S_OK, module_.Create(CLSID_TestThing, nullptr, IID_ITestThing, thing.PutVoid()));
    // Loaded by this fixture (and possibly earlier tests): DllMain ran the
    // routine once per load, never per object.
    EXPECT_EQ(1, thing->LoadInits());
    ComPtr<ITestThing> other;
    ASSERT_EQ(S_OK, module_.Create(CLSID_TestCamera, nullptr, IID_ITestThing, other.PutVoid()));
    EXPECT_EQ(1, other->LoadInits());
}

}  // namespace
