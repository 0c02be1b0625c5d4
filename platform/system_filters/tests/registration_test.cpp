// Registration of SystemFilters.ax: what the prefix holds after ./test
// registered it, and that a class some other module already serves (the real
// system filter, on Windows) is left exactly as it was.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dshow_base/tests/registry_probe.h"
#include "testing/graph_support/test_graph.h"

namespace graph_test {
namespace {

std::wstring CategoryInstanceKey(REFCLSID clsid) {
    return InstanceKey(CLSID_LegacyAmFilterCategory, GuidText(clsid));
}

// The key's default value, or empty.
std::wstring DefaultValue(const std::wstring& path) { return StringValue(path, nullptr); }

// Serialised REGFILTER2: a version DWORD, then the merit.
DWORD RegisteredMerit(REFCLSID clsid) {
    BYTE data[4096];
    DWORD size = sizeof data;
    if (RegGetValueW(HKEY_CLASSES_ROOT, CategoryInstanceKey(clsid).c_str(), L"FilterData", RRF_RT_REG_BINARY,
                     nullptr, data, &size) != ERROR_SUCCESS ||
        size < 8) {
        return 0;
    }
    DWORD merit = 0;
    memcpy(&merit, data + 4, sizeof merit);
    return merit;
}

std::wstring ModulePath() {
    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring path = exe;
    return path.substr(0, path.find_last_of(L"\\/") + 1) + L"SystemFilters.ax";
}

class SystemFiltersModule {
public:
    SystemFiltersModule() : module_(LoadLibraryW(ModulePath().c_str())) {}
    ~SystemFiltersModule() {
        if (module_) FreeLibrary(module_);
    }
    bool Loaded() const { return module_ != nullptr; }
    HRESULT Register() const { return Call("DllRegisterServer"); }
    HRESULT Unregister() const { return Call("DllUnregisterServer"); }
    // What scripts/prefix.sh does after registering: our AVI Mux serves CLSID_AviDest.
    HRESULT TakeOverAviMux() const {
        auto entry = reinterpret_cast<HRESULT(STDAPICALLTYPE*)(BOOL, LPCWSTR)>(GetProcAddress(module_, "DllInstall"));
        return entry ? entry(TRUE, L"take-over:avimux") : E_NOTIMPL;
    }

private:
    HRESULT Call(const char* name) const {
        auto entry = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(GetProcAddress(module_, name));
        return entry ? entry() : E_NOTIMPL;
    }
    HMODULE module_;
};

const CLSID* const kClasses[] = {&CLSID_InfTee, &CLSID_Colour};

TEST(Registration, PrefixServesBothClassesFromTheModule) {
    ScopedMta com;
    for (const CLSID* clsid : kClasses) {
        EXPECT_EQ(0, _wcsicmp(ModulePath().c_str(), DefaultValue(ClassKey(*clsid) + L"\\InprocServer32").c_str()));
        HRESULT hr = E_FAIL;
        EXPECT_TRUE(CreateFilter(*clsid, &hr));
        EXPECT_EQ(S_OK, hr);
    }
    EXPECT_EQ(L"Infinite Pin Tee Filter", DefaultValue(ClassKey(CLSID_InfTee)));
    EXPECT_EQ(L"Color Space Converter", DefaultValue(ClassKey(CLSID_Colour)));
    EXPECT_EQ(static_cast<DWORD>(MERIT_DO_NOT_USE), RegisteredMerit(CLSID_InfTee));
    EXPECT_EQ(static_cast<DWORD>(MERIT_UNLIKELY), RegisteredMerit(CLSID_Colour));
}

// Simulates the real filters being present: a foreign server for each class.
class ForeignRegistration : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(module_.Loaded()) << "SystemFilters.ax not beside the test";
        ASSERT_EQ(S_OK, module_.Unregister());
        for (const CLSID* clsid : kClasses) {
            ASSERT_FALSE(KeyExists(ClassKey(*clsid))) << "our unregistration left the class key";
            ASSERT_FALSE(KeyExists(CategoryInstanceKey(*clsid)));
            WriteForeign(*clsid);
        }
    }

    void TearDown() override {
        // Whatever happened, the prefix ends as ./test left it.
        for (const CLSID* clsid : kClasses) RegDeleteTreeW(HKEY_CLASSES_ROOT, ClassKey(*clsid).c_str());
        EXPECT_EQ(S_OK, module_.Register());
        // Unregistering gave CLSID_AviDest back; the prefix keeps it taken over.
        EXPECT_TRUE(SUCCEEDED(module_.TakeOverAviMux()));
    }

    static void WriteForeign(REFCLSID clsid) {
        HKEY key = nullptr;
        const std::wstring path = ClassKey(clsid) + L"\\InprocServer32";
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                                                 &key, nullptr));
        const DWORD bytes = static_cast<DWORD>((wcslen(kForeignServer) + 1) * sizeof(wchar_t));
        RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(kForeignServer), bytes);
        RegCloseKey(key);
    }

    static constexpr const wchar_t* kForeignServer = L"C:\\windows\\system32\\quartz.dll";
    ScopedMta com_;
    SystemFiltersModule module_;
};

TEST_F(ForeignRegistration, RegisteringAndUnregisteringLeaveItAlone) {
    EXPECT_EQ(S_OK, module_.Register());
    for (const CLSID* clsid : kClasses) {
        EXPECT_EQ(kForeignServer, DefaultValue(ClassKey(*clsid) + L"\\InprocServer32"));
        EXPECT_FALSE(KeyExists(CategoryInstanceKey(*clsid))) << "filter entry written for a foreign class";
    }
    EXPECT_EQ(S_OK, module_.Unregister());
    for (const CLSID* clsid : kClasses) {
        EXPECT_EQ(kForeignServer, DefaultValue(ClassKey(*clsid) + L"\\InprocServer32"));
    }
}

}  // namespace
}  // namespace graph_test
