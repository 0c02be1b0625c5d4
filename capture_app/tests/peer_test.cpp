// Snapory and the virtual webcam application's window ("VemraZolt"): the
// not-installed message without it, the Effect/Popup messages and the
// packed window rectangle with it. The peer here is a window of the test.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "capture_app/resource.h"
#include "capture_app/tests/snapory_install.h"
#include "platform/test_devices/test_device_client.h"

namespace {

using namespace snapory_test;
using harness::WaitUntil;

const wchar_t kNotInstalled[] = L"VemraZolt插件没有安装，请安装VemraZolt插件！";

struct PeerMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<PeerMessage> g_received;

LRESULT CALLBACK PeerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= WM_USER + 502 && message <= WM_USER + 504) {
        g_received.push_back({message, wParam, lParam});
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// A visible top-level window titled "VemraZolt" on the test's thread; its
// messages arrive while the test waits (WaitUntil dispatches them).
class PeerWindow {
public:
    PeerWindow() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = PeerProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"SnaporyTestPeer";
        RegisterClassW(&wc);
        window_ = CreateWindowW(wc.lpszClassName, L"VemraZolt", WS_POPUP | WS_VISIBLE, 1100, 900, 60, 40, nullptr,
                                nullptr, wc.hInstance, nullptr);
        g_received.clear();
    }
    ~PeerWindow() { DestroyWindow(window_); }
    HWND Handle() const { return window_; }

private:
    HWND window_;
};

size_t CountOf(UINT message) {
    size_t n = 0;
    for (const PeerMessage& m : g_received) n += m.message == message;
    return n;
}

const PeerMessage* LastOf(UINT message) {
    for (auto it = g_received.rbegin(); it != g_received.rend(); ++it)
        if (it->message == message) return &*it;
    return nullptr;
}

void RemovePeerRegistration() {
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Talvoro", 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegDeleteValueW(key, L"Nerra");
        RegCloseKey(key);
    }
}

void RegisterPeerPath(const std::wstring& path) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Talvoro", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                              nullptr), ERROR_SUCCESS);
    RegSetValueExW(key, L"Nerra", 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                   static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

// A stand-in for the peer's executable at a path of exactly `length`
// characters below `base`: a script that leaves `mark` beside itself when
// started. Empty when `base` is too long for that.
std::wstring WritePeerStandIn(const std::wstring& base, size_t length, std::wstring* mark) {
    std::wstring folder = base + L"\\peer-";
    const std::wstring name = L"\\Orvane.cmd";
    if (folder.size() + name.size() > length) return L"";
    folder.append(length - folder.size() - name.size(), L'x');
    CreateDirectoryW(folder.c_str(), nullptr);
    *mark = folder + L"\\started.txt";
    const char text[] = "@echo off\r\necho started> \"%~dp0started.txt\"\r\n";
    const HANDLE script = CreateFileW((folder + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (script == INVALID_HANDLE_VALUE) return L"";
    DWORD written = 0;
    const bool ok = WriteFile(script, text, sizeof text - 1, &written, nullptr) && written == sizeof text - 1;
    CloseHandle(script);
    return ok ? folder + name : L"";
}

void ExpectNotInstalledBox(SnaporyInstall& app) {
    const harness::MessageBoxInfo box = harness::WaitForMessageBox(5000, app.Process().Id());
    ASSERT_NE(box.window, nullptr) << "no message box";
    EXPECT_EQ(box.text, kNotInstalled);
    harness::AnswerMessageBox(box.window, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box.window); }, 3000));
}

TEST(SnaporyPeer, WithoutThePeerEffectAndPopupSayItIsNotInstalled) {
    RemovePeerRegistration();
    SnaporyInstall app(L"snapory-nopeer");
    ASSERT_TRUE(app.Start());
    app.Click(IDC_BTN_POPUP);
    ExpectNotInstalledBox(app);
    app.Click(IDC_BTN_POPUP);  // each time it is pressed
    ExpectNotInstalledBox(app);
    app.Click(IDC_BTN_EFFECT);
    ExpectNotInstalledBox(app);

    // A registered path that does not start gives the same message.
    HKEY key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Talvoro", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                              nullptr), ERROR_SUCCESS);
    const wchar_t missing[] = L"C:\\no\\such\\Orvane.exe";
    RegSetValueExW(key, L"Nerra", 0, REG_SZ, reinterpret_cast<const BYTE*>(missing), sizeof missing);
    RegCloseKey(key);
    app.Click(IDC_BTN_POPUP);
    ExpectNotInstalledBox(app);

    // A path of 129 characters fills the 260 bytes read with its terminator.
    std::wstring mark;
    const std::wstring standIn = WritePeerStandIn(app.Folder(), 129, &mark);
    ASSERT_EQ(standIn.size(), 129u);
    RegisterPeerPath(standIn);
    app.Click(IDC_BTN_POPUP);
    EXPECT_TRUE(WaitUntil([&] { return GetFileAttributesW(mark.c_str()) != INVALID_FILE_ATTRIBUTES; }, 10000))
        << "the peer at a 129-character path was not started";
    RemovePeerRegistration();
    ASSERT_TRUE(app.Close());
}

TEST(SnaporyPeer, ThePeerWindowGetsEffectPopupAndTheWindowRectangle) {
    // Device 1 is the virtual webcam: Effect first asks to switch to it.
    test_devices::ScopedTestDevices devices(L"cameras=2;camera1.name=Talvoro Pelloquin;camera1.sizes=2");
    ASSERT_EQ(devices.Result(), S_OK);
    PeerWindow peer;
    SnaporyInstall app(L"snapory-peer");
    app.WriteSkin();
    ASSERT_TRUE(app.Start());
    HWND window = app.Window();

    app.Click(IDC_BTN_EFFECT);
    harness::MessageBoxInfo ask = harness::WaitForMessageBox(5000, app.Process().Id());
    ASSERT_NE(ask.window, nullptr) << "Effect did not ask to switch to the virtual webcam; peer got "
                                    << CountOf(WM_USER + 503) << " effect messages";
    harness::AnswerMessageBox(ask.window, IDCANCEL);
    WaitUntil([] { return false; }, 800);
    EXPECT_EQ(CountOf(WM_USER + 503), 0u) << "Effect went on after Cancel";

    app.Click(IDC_BTN_EFFECT);
    ask = harness::WaitForMessageBox(5000, app.Process().Id());
    ASSERT_NE(ask.window, nullptr);
    const std::vector<std::wstring> firstSizes = harness::ComboEntries(app.Control(IDC_COMBO_SIZE));
    harness::AnswerMessageBox(ask.window, IDOK);
    EXPECT_TRUE(WaitUntil([] { return CountOf(WM_USER + 503) == 1; }, 8000)) << "no WM_PEER_EFFECT";
    // The size list is the virtual device's now, as the sizes a choice applies are.
    EXPECT_NE(harness::ComboEntries(app.Control(IDC_COMBO_SIZE)), firstSizes);
    EXPECT_EQ(harness::ComboEntries(app.Control(IDC_COMBO_SIZE)),
              (std::vector<std::wstring>{L"160 * 120", L"320 * 240"}));
    // Now on the virtual device: no question the second time.
    app.Click(IDC_BTN_EFFECT);
    EXPECT_TRUE(WaitUntil([] { return CountOf(WM_USER + 503) == 2; }, 5000));
    app.Click(IDC_BTN_POPUP);
    EXPECT_TRUE(WaitUntil([] { return CountOf(WM_USER + 504) == 1; }, 5000)) << "no WM_PEER_POPUP";
    for (UINT m : {WM_USER + 503u, WM_USER + 504u}) {
        EXPECT_EQ(LastOf(m)->wParam, 0u);
        EXPECT_EQ(LastOf(m)->lParam, 0);
    }

    // Sizing posts the rectangle.
    SetWindowPos(window, nullptr, 0, 0, 700, 560, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT r{};
    GetWindowRect(window, &r);
    EXPECT_TRUE(WaitUntil([&] {
        const PeerMessage* last = LastOf(WM_USER + 502);
        return last && last->wParam == static_cast<WPARAM>(r.left * 65536 + r.top) &&
               last->lParam == static_cast<LPARAM>(r.right * 65536 + r.bottom);
    }, 5000)) << "no WM_PEER_POSITION after sizing";

    // Dragging by the frame sends it while moving.
    g_received.clear();
    GetWindowRect(window, &r);
    harness::MoveMouseTo(POINT{r.left + 40, r.bottom - 60});
    harness::PressLeftButton();
    harness::MoveMouseTo(POINT{r.left + 60, r.bottom - 50});
    harness::MoveMouseTo(POINT{r.left + 80, r.bottom - 40});
    harness::ReleaseLeftButton();
    RECT moved{};
    EXPECT_TRUE(WaitUntil([&] {
        GetWindowRect(window, &moved);
        const PeerMessage* last = LastOf(WM_USER + 502);
        return moved.left != r.left && last &&
               last->wParam == static_cast<WPARAM>(moved.left * 65536 + moved.top) &&
               last->lParam == static_cast<LPARAM>(moved.right * 65536 + moved.bottom);
    }, 5000)) << "moved to " << moved.left << "," << moved.top << "; messages: " << g_received.size();
    ASSERT_TRUE(app.Close());
}

}  // namespace
