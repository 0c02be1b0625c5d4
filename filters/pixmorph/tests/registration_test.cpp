// Pixmorph.ax and Scalvane.ax as COM servers: both register the same class
// identifiers under their own names, the one registered last serves them,
// either unregistration removes the single set; both name themselves
// "Pixmorph.ax" in their export directory. Also the filter's page in the
// system's property frame, created through the registry like any host does.
//
// The prefix setup registers Pixmorph.ax (it lies in bin/, Scalvane.ax does
// not); every test leaves Pixmorph.ax registered again.
#include <gtest/gtest.h>

#include <windows.h>
#include <dshow.h>
#include <olectl.h>

#include <string>
#include <thread>
#include <vector>

#include "dshow_base/com_ptr.h"
#include "dshow_base/tests/registry_probe.h"
#include "filters/pixmorph/pixmorph_api.h"
#include "filters/pixmorph/pixmorph_resource.h"
#include "filters/pixmorph/tests/pe_exports.h"

namespace {

std::wstring ProgramDir() {
    WCHAR path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir(path);
    return dir.substr(0, dir.find_last_of(L'\\') + 1);
}

std::wstring PixmorphPath() { return ProgramDir() + L"Pixmorph.ax"; }
std::wstring ScalvanePath() { return ProgramDir() + L"..\\scalvane\\Scalvane.ax"; }

// A module loaded by path, its registration entry points called as regsvr32 calls them.
class Module {
public:
    explicit Module(const std::wstring& path) : handle_(LoadLibraryW(path.c_str())) {}
    ~Module() {
        if (handle_) FreeLibrary(handle_);
    }
    HMODULE Handle() const { return handle_; }
    HRESULT Call(const char* entry) const {
        using Entry = HRESULT(STDAPICALLTYPE*)();
        auto fn = handle_ ? reinterpret_cast<Entry>(GetProcAddress(handle_, entry)) : nullptr;
        return fn ? fn() : E_NOTIMPL;
    }

private:
    HMODULE handle_;
};

const std::wstring kFilterInstance = InstanceKey(CLSID_LegacyAmFilterCategory, GuidText(CLSID_Pixmorph));

std::wstring ServerOf(REFCLSID clsid) { return StringValue(ClassKey(clsid) + L"\\InprocServer32", nullptr); }

bool EndsWith(const std::wstring& text, const std::wstring& tail) {
    return text.size() >= tail.size() && lstrcmpiW(text.c_str() + text.size() - tail.size(), tail.c_str()) == 0;
}

// The module whose code an object's first interface table points into.
HMODULE ModuleOfObject(IUnknown* object) {
    HMODULE module = nullptr;
    const void* vtable = *reinterpret_cast<void* const*>(object);
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       static_cast<LPCWSTR>(vtable), &module);
    return module;
}

DWORD RegisteredMerit() {
    BYTE data[256] = {};
    DWORD bytes = sizeof data;
    if (RegGetValueW(HKEY_CLASSES_ROOT, kFilterInstance.c_str(), L"FilterData", RRF_RT_REG_BINARY, nullptr, data,
                     &bytes) != ERROR_SUCCESS ||
        bytes < 8)
        return 0;
    DWORD merit = 0;
    CopyMemory(&merit, data + 4, sizeof merit);  // after the REGFILTER2 version
    return merit;
}

class PixmorphRegistration : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(com_)); }
    void TearDown() override {
        Module pixmorph(PixmorphPath());
        EXPECT_EQ(S_OK, pixmorph.Call("DllRegisterServer")) << "Pixmorph.ax could not take its classes back";
        EXPECT_TRUE(EndsWith(ServerOf(CLSID_Pixmorph), L"\\Pixmorph.ax"));
        CoFreeUnusedLibraries();
        if (SUCCEEDED(com_)) CoUninitialize();
    }

    void ExpectRegisteredAs(const wchar_t* module, const wchar_t* description, const wchar_t* friendlyName,
                            const wchar_t* pageName) {
        EXPECT_TRUE(EndsWith(ServerOf(CLSID_Pixmorph), module));
        EXPECT_TRUE(EndsWith(ServerOf(CLSID_PixmorphPropertyPage), module));
        EXPECT_EQ(L"Both", StringValue(ClassKey(CLSID_Pixmorph) + L"\\InprocServer32", L"ThreadingModel"));
        EXPECT_EQ(description, StringValue(ClassKey(CLSID_Pixmorph), nullptr));
        EXPECT_EQ(pageName, StringValue(ClassKey(CLSID_PixmorphPropertyPage), nullptr));
        EXPECT_EQ(friendlyName, StringValue(kFilterInstance, L"FriendlyName"));
        EXPECT_EQ(static_cast<DWORD>(MERIT_DO_NOT_USE), RegisteredMerit());
    }

    HRESULT com_ = CoInitialize(nullptr);
};

TEST_F(PixmorphRegistration, ThePrefixHasPixmorphServingTheClasses) {
    ExpectRegisteredAs(L"\\Pixmorph.ax", L"Talvoro Pixmorph Colour Space Converter", L"Talvoro Pixmorph Filter",
                       L"Pixmorph PropertyPage");
    ComPtr<IBaseFilter> filter;
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_Pixmorph, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                     filter.PutVoid()));
    ComPtr<IPixmorphControl> control;
    EXPECT_EQ(S_OK, filter->QueryInterface(IID_IPixmorphControl, control.PutVoid()));
    EXPECT_EQ(GetModuleHandleW(PixmorphPath().c_str()), ModuleOfObject(filter.Get()));
}

TEST_F(PixmorphRegistration, ScalvaneRegisteredLastServesTheSameClassesUnderItsNames) {
    Module scalvane(ScalvanePath());
    ASSERT_NE(nullptr, scalvane.Handle()) << "Scalvane.ax missing beside bin\\";
    ASSERT_EQ(S_OK, scalvane.Call("DllRegisterServer"));
    ExpectRegisteredAs(L"\\Scalvane.ax", L"Talvoro Scalvane", L"Talvoro Scalvane", L"Scalvane PropertyPage");

    // The system device enumerator lists it so, as graph tools show it.
    ComPtr<ICreateDevEnum> devices;
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER, IID_ICreateDevEnum,
                                     devices.PutVoid()));
    ComPtr<IEnumMoniker> monikers;
    ASSERT_EQ(S_OK, devices->CreateClassEnumerator(CLSID_LegacyAmFilterCategory, monikers.Put(), 0));
    std::wstring listed;
    for (ComPtr<IMoniker> m; monikers->Next(1, m.Put(), nullptr) == S_OK;) {
        ComPtr<IPropertyBag> bag;
        if (FAILED(m->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.PutVoid()))) continue;
        VARIANT clsid, name;
        VariantInit(&clsid);
        VariantInit(&name);
        if (SUCCEEDED(bag->Read(L"CLSID", &clsid, nullptr)) && clsid.vt == VT_BSTR &&
            GuidText(CLSID_Pixmorph) == clsid.bstrVal && SUCCEEDED(bag->Read(L"FriendlyName", &name, nullptr)))
            listed = name.bstrVal;
        VariantClear(&clsid);
        VariantClear(&name);
    }
    EXPECT_EQ(L"Talvoro Scalvane", listed);

    ComPtr<IBaseFilter> filter;
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_Pixmorph, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                     filter.PutVoid()));
    EXPECT_EQ(scalvane.Handle(), ModuleOfObject(filter.Get())) << "the filter came from elsewhere";
    ComPtr<IPropertyPage> page;
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_PixmorphPropertyPage, nullptr, CLSCTX_INPROC_SERVER, IID_IPropertyPage,
                                     page.PutVoid()));
    EXPECT_EQ(scalvane.Handle(), ModuleOfObject(page.Get()));
}

TEST_F(PixmorphRegistration, EitherUnregistrationRemovesTheSingleSet) {
    Module scalvane(ScalvanePath());
    Module pixmorph(PixmorphPath());
    ASSERT_EQ(S_OK, scalvane.Call("DllRegisterServer"));
    ASSERT_EQ(S_OK, pixmorph.Call("DllUnregisterServer"));
    EXPECT_FALSE(KeyExists(ClassKey(CLSID_Pixmorph)));
    EXPECT_FALSE(KeyExists(ClassKey(CLSID_PixmorphPropertyPage)));
    EXPECT_FALSE(KeyExists(kFilterInstance));

    ASSERT_EQ(S_OK, pixmorph.Call("DllRegisterServer"));
    ASSERT_EQ(S_OK, scalvane.Call("DllUnregisterServer"));
    EXPECT_FALSE(KeyExists(ClassKey(CLSID_Pixmorph)));
    ComPtr<IBaseFilter> filter;
    EXPECT_EQ(REGDB_E_CLASSNOTREG, CoCreateInstance(CLSID_Pixmorph, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                                    filter.PutVoid()));
}

TEST(PixmorphModules, BothNamePixmorphAxInTheirExportDirectory) {
    const std::vector<std::string> entries = {"DllCanUnloadNow", "DllGetClassObject", "DllMain", "DllRegisterServer",
                                              "DllUnregisterServer"};
    for (const std::wstring& path : {PixmorphPath(), ScalvanePath()}) {
        PeExports exports;
        ASSERT_TRUE(ReadPeExports(path, &exports)) << std::string(path.begin(), path.end());
        EXPECT_EQ("Pixmorph.ax", exports.moduleName);
        EXPECT_EQ(entries, exports.names);  // the table is sorted by name
    }
}

// ---- The page in the system's property frame.

struct FrameSeen {
    bool found = false;
    WCHAR width[16] = {};
    WCHAR title[64] = {};
};

BOOL CALLBACK FindWidthBox(HWND child, LPARAM param) {
    if (GetDlgCtrlID(child) != IDC_OUTPUT_WIDTH) return TRUE;
    *reinterpret_cast<HWND*>(param) = child;
    return FALSE;
}

struct FrameSearch {
    HWND frame = nullptr;
    HWND width = nullptr;
};

BOOL CALLBACK FindFrame(HWND top, LPARAM param) {
    auto* search = reinterpret_cast<FrameSearch*>(param);
    EnumChildWindows(top, FindWidthBox, reinterpret_cast<LPARAM>(&search->width));
    if (!search->width) return TRUE;
    search->frame = top;
    return FALSE;
}

BOOL CALLBACK CloseTop(HWND top, LPARAM) {
    PostMessageW(top, WM_CLOSE, 0, 0);
    return TRUE;
}

// Finds the frame showing the page, reads it and presses OK.
void DriveFrame(DWORD frameThread, FrameSeen* seen) {
    for (int attempt = 0; attempt < 300; ++attempt) {
        FrameSearch search;
        EnumThreadWindows(frameThread, FindFrame, reinterpret_cast<LPARAM>(&search));
        if (search.frame && IsWindowVisible(search.frame)) {
            seen->found = true;
            GetWindowTextW(search.width, seen->width, 16);
            GetWindowTextW(search.frame, seen->title, 64);
            PostMessageW(GetDlgItem(search.frame, IDOK), BM_CLICK, 0, 0);
            return;
        }
        Sleep(50);
    }
    EnumThreadWindows(frameThread, CloseTop, 0);
}

TEST(PixmorphPropertyFrame, TheSystemFrameShowsThePageForTheFilter) {
    const HRESULT com = OleInitialize(nullptr);
    ASSERT_TRUE(SUCCEEDED(com));
    {
        ComPtr<IBaseFilter> filter;
        ASSERT_EQ(S_OK, CoCreateInstance(CLSID_Pixmorph, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                         filter.PutVoid()));
        ComPtr<IPixmorphControl> control;
        ASSERT_EQ(S_OK, filter->QueryInterface(IID_IPixmorphControl, control.PutVoid()));
        control->SetOutputSize(640, 360);
        ComPtr<ISpecifyPropertyPages> specify;
        ASSERT_EQ(S_OK, filter->QueryInterface(IID_ISpecifyPropertyPages, specify.PutVoid()));
        CAUUID pages = {};
        ASSERT_EQ(S_OK, specify->GetPages(&pages));

        FrameSeen seen;
        std::thread driver(DriveFrame, GetCurrentThreadId(), &seen);
        IUnknown* objects[] = {filter.Get()};
        const HRESULT hr = OleCreatePropertyFrame(nullptr, 0, 0, L"Chromaver Filter", 1, objects, pages.cElems,
                                                  pages.pElems, LOCALE_USER_DEFAULT, 0, nullptr);
        driver.join();
        CoTaskMemFree(pages.pElems);
        EXPECT_EQ(S_OK, hr);
        ASSERT_TRUE(seen.found) << "no frame showed the page";
        EXPECT_STREQ(L"640", seen.width);
        int size[2] = {};
        control->GetOutputSize(size);
        EXPECT_EQ(640, size[0]) << "OK on an unchanged page changes nothing";
    }
    OleUninitialize();
}

}  // namespace
