// Taking CLSID_AviDest over from the module that registered it (Wine's
// qcap.dll in the test prefix) and giving it back: the original
// registration must come back value for value, type for type.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "dshow_base/tests/registry_probe.h"
#include "testing/graph_support/test_graph.h"

namespace graph_test {
namespace {

using Values = std::map<std::wstring, std::pair<DWORD, std::vector<BYTE>>>;

const std::wstring kClassKey = ClassKey(CLSID_AviDest);
const std::wstring kInprocKey = kClassKey + L"\\InprocServer32";
const std::wstring kFilterEntryKey = InstanceKey(CLSID_LegacyAmFilterCategory, GuidText(CLSID_AviDest));
const std::wstring kSavedKey = L"Software\\Talvoro\\SystemFilters\\TakenOver\\" + GuidText(CLSID_AviDest);

// Every value of a key; empty when the key is absent.
Values ReadValues(HKEY root, const std::wstring& path) {
    Values values;
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return values;
    for (DWORD i = 0;; ++i) {
        wchar_t name[1024];
        DWORD nameLength = 1024, type = 0, bytes = 4096;
        std::vector<BYTE> data(bytes);
        if (RegEnumValueW(key, i, name, &nameLength, nullptr, &type, data.data(), &bytes) != ERROR_SUCCESS) break;
        data.resize(bytes);
        values[name] = {type, data};
    }
    RegCloseKey(key);
    return values;
}

std::wstring Server(const Values& values) {
    auto it = values.find(L"");
    if (it == values.end() || it->second.second.size() < 2) return {};
    return reinterpret_cast<const wchar_t*>(it->second.second.data());
}

std::wstring ModulePath() {
    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring path = exe;
    return path.substr(0, path.find_last_of(L"\\/") + 1) + L"SystemFilters.ax";
}

class AviMuxTakeOver : public testing::Test {
protected:
    void SetUp() override {
        module_ = LoadLibraryW(ModulePath().c_str());
        ASSERT_TRUE(module_) << "SystemFilters.ax not beside the test";
        ASSERT_EQ(0, _wcsicmp(ModulePath().c_str(), Server(ReadValues(HKEY_CLASSES_ROOT, kInprocKey)).c_str()))
            << "the prefix has not taken CLSID_AviDest over";
        ours_ = ReadValues(HKEY_CLASSES_ROOT, kInprocKey);
        original_ = ReadValues(HKEY_LOCAL_MACHINE, kSavedKey);
        ASSERT_FALSE(original_.empty());
        className_ = ReadValues(HKEY_CLASSES_ROOT, kClassKey);
        filterEntry_ = ReadValues(HKEY_CLASSES_ROOT, kFilterEntryKey);
    }

    void TearDown() override {
        // Whatever happened, the prefix ends as scripts/prefix.sh left it.
        if (module_) {
            EXPECT_EQ(S_OK, Call("DllRegisterServer"));
            EXPECT_TRUE(SUCCEEDED(Install(TRUE, L"take-over:avimux")));
            EXPECT_EQ(ours_, ReadValues(HKEY_CLASSES_ROOT, kInprocKey));
            FreeLibrary(module_);
        }
    }

    HRESULT Install(BOOL install, LPCWSTR text) {
        auto entry = reinterpret_cast<HRESULT(STDAPICALLTYPE*)(BOOL, LPCWSTR)>(GetProcAddress(module_, "DllInstall"));
        return entry ? entry(install, text) : E_NOTIMPL;
    }
    HRESULT Call(const char* name) {
        auto entry = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(GetProcAddress(module_, name));
        return entry ? entry() : E_NOTIMPL;
    }

    // Whatever else the other module registered is untouched throughout.
    void ExpectRestOfRegistrationUnchanged() {
        EXPECT_EQ(className_, ReadValues(HKEY_CLASSES_ROOT, kClassKey));
        EXPECT_EQ(filterEntry_, ReadValues(HKEY_CLASSES_ROOT, kFilterEntryKey));
    }

    ScopedMta com_;
    HMODULE module_ = nullptr;
    Values ours_, original_, className_, filterEntry_;
};

TEST_F(AviMuxTakeOver, GivingBackRestoresTheOriginalServerExactly) {
    ASSERT_EQ(S_OK, Install(FALSE, L"take-over:avimux"));
    EXPECT_EQ(original_, ReadValues(HKEY_CLASSES_ROOT, kInprocKey));
    EXPECT_NE(0, _wcsicmp(ModulePath().c_str(), Server(original_).c_str()));
    EXPECT_TRUE(ReadValues(HKEY_LOCAL_MACHINE, kSavedKey).empty()) << "the saved copy outlived the give-back";
    ExpectRestOfRegistrationUnchanged();
    EXPECT_EQ(S_FALSE, Install(FALSE, L"take-over:avimux"));  // nothing left to give back
    EXPECT_EQ(original_, ReadValues(HKEY_CLASSES_ROOT, kInprocKey));
}

TEST_F(AviMuxTakeOver, TakingOverTwiceKeepsTheFirstCopy) {
    ASSERT_EQ(S_OK, Install(TRUE, L"take-over:avimux"));
    EXPECT_EQ(ours_, ReadValues(HKEY_CLASSES_ROOT, kInprocKey));
    EXPECT_EQ(original_, ReadValues(HKEY_LOCAL_MACHINE, kSavedKey));
    ASSERT_EQ(S_OK, Install(FALSE, L"take-over:avimux"));
    EXPECT_EQ(original_, ReadValues(HKEY_CLASSES_ROOT, kInprocKey));
}

TEST_F(AviMuxTakeOver, RegisteringKeepsTheTakenOverClassAsItsModuleRegisteredIt) {
    ASSERT_EQ(S_OK, Call("DllRegisterServer"));
    EXPECT_EQ(ours_, ReadValues(HKEY_CLASSES_ROOT, kInprocKey));
    ExpectRestOfRegistrationUnchanged();
}

TEST_F(AviMuxTakeOver, UnregisteringGivesTheClassBackFirst) {
    ASSERT_EQ(S_OK, Call("DllUnregisterServer"));
    EXPECT_EQ(original_, ReadValues(HKEY_CLASSES_ROOT, kInprocKey));
    ExpectRestOfRegistrationUnchanged();
}

TEST_F(AviMuxTakeOver, RefusesNamesItDoesNotKnow) {
    EXPECT_EQ(E_INVALIDARG, Install(TRUE, L"take-over:colour"));
    EXPECT_EQ(E_INVALIDARG, Install(TRUE, L"avimux"));
    EXPECT_EQ(E_INVALIDARG, Install(TRUE, nullptr));
    EXPECT_EQ(ours_, ReadValues(HKEY_CLASSES_ROOT, kInprocKey));
}

}  // namespace
}  // namespace graph_test
