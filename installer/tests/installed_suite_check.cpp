// The suite as Setup left it, seen from inside the Wine prefix it was
// installed in (setup_test.py runs these after Setup and checks files and
// registry from outside): the uninstall entry, the registered servers and
// devices, the installed programs working together, and Setup and the
// uninstaller refusing to touch programs that run.
#include <windows.h>

#include <dshow.h>

#include <algorithm>
#include <cwctype>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "capture_app/resource.h"
#include "capture_app/tests/snapory_install.h"
#include "dshow_base/com_ptr.h"
#include "testing/window_harness/window_harness.h"

namespace {

constexpr wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Talvoro";
constexpr wchar_t kChooserTitle[] = L"Please chose Device";
constexpr int kChooserDeviceList = 1024;
constexpr DWORD kExitProgramRunning = 2;

std::wstring Lower(std::wstring text) {
    std::transform(text.begin(), text.end(), text.begin(), [](wchar_t c) { return std::towlower(c); });
    return text;
}

// view: 0 for this process's own registry view, or KEY_WOW64_32KEY.
std::wstring ReadString(HKEY root, const std::wstring& key, const wchar_t* name, REGSAM view = 0) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_QUERY_VALUE | view, &opened) != ERROR_SUCCESS) return L"";
    wchar_t value[1024] = L"";
    DWORD bytes = sizeof value - sizeof value[0];
    DWORD type = 0;
    const LONG read = RegQueryValueExW(opened, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &bytes);
    RegCloseKey(opened);
    return read == ERROR_SUCCESS && type == REG_SZ ? value : L"";
}

DWORD ReadDword(HKEY root, const std::wstring& key, const wchar_t* name) {
    DWORD value = 0, bytes = sizeof value;
    RegGetValueW(root, key.c_str(), name, RRF_RT_REG_DWORD, nullptr, &value, &bytes);
    return value;
}

std::wstring InstallFolder() { return ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, L"InstallLocation"); }

// The modules registered in this process's registry view: the suite's own,
// or, for a 64-bit process beside the 32-bit suite, its 64-bit ones.
std::wstring FiltersFolder() {
    const std::wstring own = InstallFolder();
    if (!own.empty()) return own + L"\\Filters";
    const std::wstring suite32 =
        ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, L"InstallLocation", KEY_WOW64_32KEY);
    return suite32.empty() ? L"" : suite32 + L"\\Filters\\x64";
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Bytes of every file below folder.
unsigned long long FolderBytes(const std::wstring& folder) {
    unsigned long long total = 0;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return 0;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            total += FolderBytes(folder + L"\\" + name);
        else
            total += (static_cast<unsigned long long>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return total;
}

// Class identifiers whose in-process server is a file in folder, with that file's name.
std::vector<std::pair<std::wstring, std::wstring>> ClassesServedFrom(const std::wstring& folder) {
    std::vector<std::pair<std::wstring, std::wstring>> classes;
    HKEY clsid = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, L"CLSID", 0, KEY_READ, &clsid) != ERROR_SUCCESS) return classes;
    const std::wstring prefix = Lower(folder + L"\\");
    wchar_t name[64];
    for (DWORD i = 0;; ++i) {
        DWORD length = ARRAYSIZE(name);
        if (RegEnumKeyExW(clsid, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        const std::wstring server = ReadString(clsid, std::wstring(name) + L"\\InprocServer32", nullptr);
        if (Lower(server).rfind(prefix, 0) == 0) classes.emplace_back(name, server.substr(prefix.size()));
    }
    RegCloseKey(clsid);
    return classes;
}

std::vector<std::wstring> VideoDeviceNames() {
    std::vector<std::wstring> names;
    ComPtr<ICreateDevEnum> devices;
    ComPtr<IEnumMoniker> monikers;
    if (FAILED(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER, IID_ICreateDevEnum,
                                devices.PutVoid())) ||
        devices->CreateClassEnumerator(CLSID_VideoInputDeviceCategory, monikers.Put(), 0) != S_OK)
        return names;
    ComPtr<IMoniker> moniker;
    while (monikers->Next(1, moniker.Put(), nullptr) == S_OK) {
        ComPtr<IPropertyBag> bag;
        if (FAILED(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.PutVoid()))) continue;
        VARIANT name;
        VariantInit(&name);
        if (SUCCEEDED(bag->Read(L"FriendlyName", &name, nullptr)) && name.vt == VT_BSTR) names.push_back(name.bstrVal);
        VariantClear(&name);
    }
    return names;
}

std::wstring ProcessImage(HWND window) {
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
    if (!process) return L"";
    wchar_t path[MAX_PATH] = L"";
    DWORD length = MAX_PATH;
    if (!QueryFullProcessImageNameW(process, 0, path, &length)) path[0] = L'\0';
    CloseHandle(process);
    return path;
}

class InstalledServers : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))); }
    void TearDown() override { CoUninitialize(); }
};

// Installed Snapory, started from its folder as a shortcut would.
class InstalledSnapory {
public:
    bool Start() {
        const std::wstring folder = InstallFolder() + L"\\Snapory";
        if (!process_.Start(folder + L"\\Snapory.exe", L"", folder)) return false;
        window_ = harness::FindTopLevelWindow(L"Snapory!", 30000, process_.Id());
        return window_ != nullptr;
    }
    HWND Window() const { return window_; }
    DWORD Id() const { return process_.Id(); }
    void Click(int id) const { harness::Click(harness::FindControl(window_, id)); }
    bool PreviewIsLive() const {
        HWND video = snapory_test::FindVideoWindow(window_);
        if (!video) return false;
        RECT area;
        GetWindowRect(video, &area);
        MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&area), 2);
        return snapory_test::AreaIsLive(window_, area);
    }
    bool Close() {
        Click(IDC_BTN_CLOSE);
        return process_.WaitForExit(15000);
    }

private:
    harness::AppProcess process_;
    HWND window_ = nullptr;
};

// A program's exit code; ~0u when it did not end within the time.
DWORD RunToExit(const std::wstring& program, const std::wstring& arguments, DWORD timeoutMs = 60000) {
    harness::AppProcess process;
    DWORD code = ~0u;
    if (!process.Start(program, arguments) || !process.WaitForExit(timeoutMs, &code)) return ~0u;
    return code;
}

// The text of the box that interactive Setup shows, after which the user
// cancels: Setup must end with its "program running" code.
std::wstring RefusalText(const std::wstring& setup) {
    harness::AppProcess asking;
    if (!asking.Start(setup)) return L"";
    const harness::MessageBoxInfo box = harness::WaitForMessageBox(30000, asking.Id());
    EXPECT_NE(box.window, nullptr) << "Setup did not ask to close the programs";
    if (!box.window) return L"";
    harness::AnswerMessageBox(box.window, IDCANCEL);
    DWORD code = 0;
    EXPECT_TRUE(asking.WaitForExit(15000, &code));
    EXPECT_EQ(code, kExitProgramRunning);
    return box.text;
}

}  // namespace

TEST(InstalledSuite, UninstallEntryAndOrvanePathDescribeTheInstall) {
    const std::wstring folder = InstallFolder();
    ASSERT_FALSE(folder.empty()) << "no uninstall entry";
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayVersion"), L"1.0");
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, L"Publisher"), L"Talvoro");
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayName").rfind(L"Talvoro Webcam Suite", 0), 0u);
    EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, L"UninstallString"), L"\"" + folder + L"\\Uninstall.exe\"");
    EXPECT_TRUE(Exists(folder + L"\\Uninstall.exe"));
    const std::wstring icon = ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayIcon");
    EXPECT_EQ(icon, folder + L"\\Snapory\\Snapory.exe,0");
    // Within a tenth of what the folder holds (the entry counts whole kilobytes per file).
    const double installedKb = FolderBytes(folder) / 1024.0;
    const double estimatedKb = ReadDword(HKEY_LOCAL_MACHINE, kUninstallKey, L"EstimatedSize");
    EXPECT_NEAR(estimatedKb, installedKb, installedKb / 10);

    const std::wstring nerra = ReadString(HKEY_LOCAL_MACHINE, L"Software\\Talvoro", L"Nerra");
    EXPECT_EQ(nerra, folder + L"\\Orvane\\Orvane.exe");
    EXPECT_TRUE(Exists(nerra));
}

TEST_F(InstalledServers, EveryFilterModuleServesClassesThatCanBeMade) {
    const std::wstring filters = FiltersFolder();
    ASSERT_FALSE(filters.empty()) << "no install of either width";
    const auto classes = ClassesServedFrom(filters);
    std::set<std::wstring> serving;
    for (const auto& [clsid, file] : classes) {
        serving.insert(Lower(file));
        CLSID id;
        ASSERT_EQ(CLSIDFromString(clsid.c_str(), &id), S_OK);
        ComPtr<IUnknown> object;
        EXPECT_EQ(CoCreateInstance(id, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, object.PutVoid()), S_OK)
            << "class " << testing::PrintToString(clsid) << " of " << testing::PrintToString(file);
    }
    for (const std::wstring& module : harness::FolderFiles(filters + L"\\*.ax"))
        EXPECT_EQ(serving.count(Lower(module)), 1u) << testing::PrintToString(module) << " serves no class";
    EXPECT_FALSE(classes.empty());

    const std::vector<std::wstring> devices = VideoDeviceNames();
    EXPECT_EQ(std::count(devices.begin(), devices.end(), L"Talvoro Pelloquin"), 1);
    // The test configures its camera; Setup installs none.
    EXPECT_EQ(std::count(devices.begin(), devices.end(), L"Talvoro Test Camera"), 1);
}

// Snapory from its folder: the test camera's live picture, a snapshot in its
// Capture folder, then Effect switches to "Talvoro Pelloquin" and starts
// Orvane through the path Setup registered; once Orvane runs on the test
// camera, Snapory shows the virtual webcam's live picture.
TEST(InstalledSuite, SnaporySnapsAndItsEffectButtonStartsTheInstalledOrvane) {
    const std::wstring folder = InstallFolder();
    InstalledSnapory snapory;
    ASSERT_TRUE(snapory.Start());
    EXPECT_TRUE(harness::WaitUntil([&] { return snapory.PreviewIsLive(); }, 20000)) << "no live preview";

    const std::wstring captures = folder + L"\\Snapory\\Capture\\*.*";
    const size_t before = harness::FolderFiles(captures).size();
    snapory.Click(IDC_BTN_SNAP);
    EXPECT_TRUE(harness::WaitUntil([&] { return harness::FolderFiles(captures).size() == before + 1; }, 15000))
        << "no snapshot in the Capture folder";

    snapory.Click(IDC_BTN_EFFECT);
    const harness::MessageBoxInfo ask = harness::WaitForMessageBox(10000, snapory.Id());
    ASSERT_NE(ask.window, nullptr) << "Effect did not offer the virtual webcam";
    harness::AnswerMessageBox(ask.window, IDOK);
    HWND chooser = harness::FindTopLevelWindow(kChooserTitle, 30000);
    ASSERT_NE(chooser, nullptr) << "Orvane did not start";
    EXPECT_EQ(Lower(ProcessImage(chooser)), Lower(folder + L"\\Orvane\\Orvane.exe"));
    ASSERT_TRUE(harness::ChooseComboEntry(harness::FindControl(chooser, kChooserDeviceList), L"Talvoro Test Camera"));
    PostMessageW(chooser, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    HWND panel = harness::FindTopLevelWindow(L"VemraZolt", 30000);
    ASSERT_NE(panel, nullptr) << "Orvane's panel did not come";
    EXPECT_TRUE(harness::WaitUntil([&] { return snapory.PreviewIsLive(); }, 30000))
        << "Snapory shows no live picture from the virtual webcam";

    DWORD orvaneId = 0;
    GetWindowThreadProcessId(panel, &orvaneId);
    HANDLE orvane = OpenProcess(SYNCHRONIZE, FALSE, orvaneId);
    EXPECT_TRUE(snapory.Close());
    PostMessageW(panel, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(orvane, 15000), WAIT_OBJECT_0) << "Orvane did not end";
    CloseHandle(orvane);
}

// Setup's path comes from the test (SETUP_EXE). Refusals end with code 2 and
// leave everything as it was (setup_test.py compares files and registry).
TEST(RunningSuite, SetupAndUninstallerAskToCloseTheProgramsAndChangeNothing) {
    wchar_t setup[MAX_PATH] = L"";
    ASSERT_GT(GetEnvironmentVariableW(L"SETUP_EXE", setup, MAX_PATH), 0u) << "SETUP_EXE is not set";
    const std::wstring folder = InstallFolder();
    const std::wstring uninstaller = folder + L"\\Uninstall.exe";
    // _?= keeps the uninstaller in place, so that its exit code is its own.
    const std::wstring inPlace = L"_?=" + folder;

    InstalledSnapory snapory;
    ASSERT_TRUE(snapory.Start());
    EXPECT_NE(RefusalText(setup).find(L"Snapory or Orvane is running"), std::wstring::npos);

    EXPECT_EQ(RunToExit(setup, L"/S"), kExitProgramRunning);
    EXPECT_EQ(RunToExit(uninstaller, L"/S " + inPlace), kExitProgramRunning);
    EXPECT_TRUE(snapory.Close());

    // Orvane counts from its start, while its device chooser is still open.
    harness::AppProcess orvane;
    ASSERT_TRUE(orvane.Start(folder + L"\\Orvane\\Orvane.exe", L"", folder + L"\\Orvane"));
    HWND chooser = harness::FindTopLevelWindow(kChooserTitle, 30000, orvane.Id());
    ASSERT_NE(chooser, nullptr);
    EXPECT_EQ(RunToExit(setup, L"/S"), kExitProgramRunning);
    EXPECT_EQ(RunToExit(uninstaller, L"/S " + inPlace), kExitProgramRunning);
    PostMessageW(chooser, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_TRUE(orvane.WaitForExit(15000));
}

// Run on a Chinese system only (setup_test.py sets the locale), last: a
// window titled as Snapory's stands in for the program, so nothing needs to
// be installed.
TEST(ChineseSystem, SetupAsksInChinese) {
    ASSERT_EQ(PRIMARYLANGID(GetUserDefaultUILanguage()), LANG_CHINESE) << "not a Chinese system";
    wchar_t setup[MAX_PATH] = L"";
    ASSERT_GT(GetEnvironmentVariableW(L"SETUP_EXE", setup, MAX_PATH), 0u) << "SETUP_EXE is not set";
    HWND standIn = CreateWindowExW(0, L"STATIC", L"Snapory!", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                   nullptr);
    ASSERT_NE(standIn, nullptr);
    EXPECT_NE(RefusalText(setup).find(L"Snapory 或 Orvane 正在运行"), std::wstring::npos);
    DestroyWindow(standIn);
}
