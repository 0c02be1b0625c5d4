// The device-name lists exactly as the applications receive them: names and
// line feeds, one terminator, the count beside them, and never more than the
// 512 units the applications provide.
#include <windows.h>
#include <dshow.h>

#include <algorithm>
#include <cwchar>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "capture_engine/korvel.h"
#include "test_devices/test_device_client.h"
#include "testing/window_harness/trace_window.h"

namespace {

using test_devices::ScopedTestDevices;

// While it lives, the system device enumerator of this process is this one,
// whose every category fails to list with `failure`, as a broken driver's
// category can make the real one do.
class FailingDeviceEnumerator : public IClassFactory, public ICreateDevEnum {
public:
    explicit FailingDeviceEnumerator(HRESULT failure) : failure_(failure) {
        registered_ = CoRegisterClassObject(CLSID_SystemDeviceEnum, static_cast<IClassFactory*>(this),
                                            CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie_);
    }
    virtual ~FailingDeviceEnumerator() {
        if (SUCCEEDED(registered_)) CoRevokeClassObject(cookie_);
    }
    HRESULT Registered() const { return registered_; }

    // Lives on the test's stack: the count is bookkeeping only.
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (riid == IID_IUnknown || riid == IID_IClassFactory) *ppv = static_cast<IClassFactory*>(this);
        if (riid == IID_ICreateDevEnum) *ppv = static_cast<ICreateDevEnum*>(this);
        if (!*ppv) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&refs_); }
    STDMETHODIMP_(ULONG) Release() override { return InterlockedDecrement(&refs_); }
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
        if (outer) return CLASS_E_NOAGGREGATION;
        return QueryInterface(riid, ppv);
    }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }
    STDMETHODIMP CreateClassEnumerator(REFCLSID, IEnumMoniker** monikers, DWORD) override {
        if (monikers) *monikers = nullptr;
        return failure_;
    }

private:
    HRESULT failure_;
    HRESULT registered_ = E_FAIL;
    DWORD cookie_ = 0;
    LONG refs_ = 1;
};

constexpr wchar_t kUntouched = 0xBEEF;

class KorvelDeviceList : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(Graph_Initialize(), 1);
        std::fill(std::begin(buffer_), std::end(buffer_), kUntouched);
    }
    void TearDown() override { Graph_Uninitialize(); }

    // The units written before the terminator, which must come within the
    // 512 units an application passes; empty when none was written.
    std::wstring Written() const {
        for (size_t i = 0; i < KORVEL_DEVICE_LIST_UNITS; ++i)
            if (buffer_[i] == L'\0') return std::wstring(buffer_, i);
        return L"<no terminator within 512 units>";
    }
    bool TailUntouched(size_t from) const {
        for (size_t i = from; i < std::size(buffer_); ++i)
            if (buffer_[i] != kUntouched) return false;
        return true;
    }

    wchar_t buffer_[2 * KORVEL_DEVICE_LIST_UNITS];
    unsigned short count_ = 0xFFFF;
};

TEST_F(KorvelDeviceList, DefaultDevicesAreListedOneNamePerLine) {
    ScopedTestDevices devices(L"default");
    ASSERT_EQ(devices.Result(), S_OK);
    EXPECT_EQ(GetCaptureVideoDev(&count_, buffer_), 1);
    EXPECT_EQ(count_, 1);
    EXPECT_EQ(Written(), L"Talvoro Test Camera\n");
    EXPECT_TRUE(TailUntouched(Written().size() + 1));

    count_ = 0xFFFF;
    EXPECT_EQ(GetCaptureAudioDev(&count_, buffer_), 1);
    EXPECT_EQ(count_, 1);
    EXPECT_EQ(Written(), L"Talvoro Test Microphone\n");
}

TEST_F(KorvelDeviceList, TwoCamerasInEnumerationOrder) {
    ScopedTestDevices devices(L"cameras=2;camera0.name=Cam A;camera1.name=Cam B");
    ASSERT_EQ(devices.Result(), S_OK);
    EXPECT_EQ(GetCaptureVideoDev(&count_, buffer_), 1);
    EXPECT_EQ(count_, 2);
    const wchar_t expected[] = L"Cam A\nCam B\n";
    EXPECT_EQ(std::wmemcmp(buffer_, expected, std::size(expected)), 0) << "A LF B LF NUL";
    EXPECT_TRUE(TailUntouched(std::size(expected)));
}

TEST_F(KorvelDeviceList, DeviceWithoutFriendlyNameIsLeftOut) {
    ScopedTestDevices devices(
        L"cameras=3;camera0.name=First;camera1.name=Hidden;camera1.nofriendlyname=1;camera2.name=Third");
    ASSERT_EQ(devices.Result(), S_OK);
    EXPECT_EQ(GetCaptureVideoDev(&count_, buffer_), 1);
    EXPECT_EQ(count_, 2);
    EXPECT_EQ(Written(), L"First\nThird\n");
}

TEST_F(KorvelDeviceList, EmptyCategorySucceedsWithTheBufferUntouched) {
    ScopedTestDevices devices(L"mics=0");
    ASSERT_EQ(devices.Result(), S_OK);
    EXPECT_EQ(GetCaptureAudioDev(&count_, buffer_), 1);
    EXPECT_EQ(count_, 0);
    EXPECT_TRUE(TailUntouched(0)) << "not even a terminator";
}

// Any answer but S_OK lists nothing, a failure as much as an empty category;
// the trace says which step failed and how.
TEST_F(KorvelDeviceList, ACategoryThatCannotBeListedSucceedsEmpty) {
    harness::TraceWindow trace;
    FailingDeviceEnumerator failing(E_ACCESSDENIED);
    ASSERT_EQ(failing.Registered(), S_OK);
    EXPECT_EQ(GetCaptureVideoDev(&count_, buffer_), 1);
    EXPECT_EQ(count_, 0);
    EXPECT_TRUE(TailUntouched(0));
    count_ = 0xFFFF;
    EXPECT_EQ(GetCaptureAudioDev(&count_, buffer_), 1);
    EXPECT_EQ(count_, 0);
    EXPECT_TRUE(TailUntouched(0));
    EXPECT_TRUE(trace.HasLineWith({"ICreateDevEnum::CreateClassEnumerator", "0x80070005"}));
}

// Sixteen names of 40 characters need 656 units; the list stops at the last
// whole name that fits with its terminator in 512 and counts only those.
TEST_F(KorvelDeviceList, LongListStopsWithinTheCallersBuffer) {
    std::wstring config = L"cameras=16";
    std::vector<std::wstring> names;
    for (int i = 0; i < 16; ++i) {
        wchar_t name[64];
        swprintf(name, 64, L"Talvoro Conference Room Camera Number %02d", i);
        names.push_back(name);
        config += L";camera" + std::to_wstring(i) + L".name=" + name;
    }
    ASSERT_EQ(names[0].size(), 40u);
    ScopedTestDevices devices(config.c_str());
    ASSERT_EQ(devices.Result(), S_OK);

    EXPECT_EQ(GetCaptureVideoDev(&count_, buffer_), 1);
    const size_t fitting = (KORVEL_DEVICE_LIST_UNITS - 1) / 41;  // 12 names and their line feeds
    EXPECT_EQ(count_, fitting);
    std::wstring expected;
    for (size_t i = 0; i < fitting; ++i) expected += names[i] + L"\n";
    EXPECT_EQ(Written(), expected);
    EXPECT_TRUE(TailUntouched(KORVEL_DEVICE_LIST_UNITS)) << "wrote past the 512 units";
}

// A name that alone would fill the buffer is not cut: the list ends before it.
TEST_F(KorvelDeviceList, NameThatCannotFitEndsTheList) {
    const std::wstring longName(511, L'x');
    const std::wstring config = L"cameras=2;camera0.name=Short;camera1.name=" + longName;
    ScopedTestDevices devices(config.c_str());
    ASSERT_EQ(devices.Result(), S_OK);
    EXPECT_EQ(GetCaptureVideoDev(&count_, buffer_), 1);
    EXPECT_EQ(count_, 1);
    EXPECT_EQ(Written(), L"Short\n");
    EXPECT_TRUE(TailUntouched(7));
}

}  // namespace
