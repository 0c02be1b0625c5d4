// What Korvel's tests share: an engine per test, a window to host the
// preview, a message pump, and a look at what the engine's renderer shows.
#pragma once

#include <windows.h>
#include <dshow.h>

#include <cstdint>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "capture_engine/korvel.h"
#include "dshow_base/com_ptr.h"
#include "testing/renderer_picture/renderer_picture.h"
#include "testing/window_harness/waiting.h"

namespace korvel_test {

// Graph_Initialize before each test, Graph_Uninitialize and the default test
// devices after it.
class EngineTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

// A shown top-level window of the given client size; destroyed with the
// object. Counts the playback graph's notify messages it receives.
class TestWindow {
public:
    TestWindow(int width, int height);
    ~TestWindow();
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    HWND Handle() const { return hwnd_; }
    int GraphNotifications() const { return notifications_; }

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    HWND hwnd_ = nullptr;
    int notifications_ = 0;
};

using harness::PumpFor;

// The class COM makes when asked for `clsid`: the one its TreatAs entry names
// (a prefix may stand one renderer in for another), else `clsid` itself.
// Class objects registered in the process are looked up under that class.
CLSID ClassComCreates(REFCLSID clsid);

// While it lives, whoever creates `clsid` in this process gets the real
// object through this spy, which counts the creations and keeps the last
// object, so a test can look inside the engine's graph (say, at its renderer).
class ClassSpy : public IClassFactory {
public:
    explicit ClassSpy(REFCLSID clsid);
    virtual ~ClassSpy();
    ClassSpy(const ClassSpy&) = delete;
    ClassSpy& operator=(const ClassSpy&) = delete;

    HRESULT Result() const { return result_; }
    int Created() const { return created_; }
    ComPtr<IBaseFilter> Last() const { return last_; }

    // IClassFactory; the spy lives on the test's stack, so the count is bookkeeping only.
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&refs_); }
    STDMETHODIMP_(ULONG) Release() override { return InterlockedDecrement(&refs_); }
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override;
    STDMETHODIMP LockServer(BOOL lock) override;

private:
    HRESULT result_ = E_FAIL;
    DWORD cookie_ = 0;
    LONG refs_ = 1;
    int created_ = 0;
    ComPtr<IClassFactory> real_;
    ComPtr<IBaseFilter> last_;
};

// Frame number of the test pattern the renderer (filter or graph) shows.
using renderer_picture::ShownFrameNumber;

// Output folder for files a later ctest step checks (a Windows path), or the
// temporary folder when the test runs on its own.
std::wstring OutputPath(const wchar_t* fileName);

// Size of a file in bytes; -1 when it does not exist.
long long FileSize(const std::wstring& path);

}  // namespace korvel_test
