// The settings dialog run from a stand-in main window on a thread of its own,
// which owns the engine and previews the test camera, and driven like a user
// would: clicks, list and combo choices, typing, message boxes. What the
// pages write is read back from CCamManage; what the engine does is read
// back from its snapshots (size, and the test pattern's frame counter).
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "capture_app/settings/settings_model.h"
#include "capture_app/settings/settings_resource.h"
#include "capture_app/settings/tests/test_main_window.h"
#include "capture_engine/korvel.h"
#include "testing/graph_support/test_files.h"
#include "test_devices/test_device_client.h"
#include "testing/window_harness/window_harness.h"

namespace {

const DWORD kWaitMs = 5000;

// One control of each page that no other page has, to find the page by.
const int kPageMarkers[4] = {IDC_SNAP_JPEG, IDC_REC_QUALITY, IDC_DEV_VIDEO_COMBO, IDC_OTHER_WORK_PATH};

// A stuck window thread fails the test instead of stalling it.
LRESULT Send(HWND window, UINT message, WPARAM w = 0, LPARAM l = 0) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, w, l, SMTO_NORMAL, kWaitMs, &result)) {
        ADD_FAILURE() << "message " << message << " got no answer";
        return -1;
    }
    return static_cast<LRESULT>(result);
}

class SettingsDialogTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        main_ = std::make_unique<CTestMainWindow>();
        ready_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        thread_ = std::make_unique<harness::UiThread>([] { return RunWindowThread(); });
        WaitForSingleObject(ready_, 20000);
    }

    static void TearDownTestSuite() {
        if (main_->IsWindow()) main_->PostMessage(WM_CLOSE);
        thread_->Join(10000);
        thread_.reset();
        main_.reset();
        CloseHandle(ready_);
    }

    // The engine is the window thread's: initialised, previewing and shut
    // down there, as in the application.
    static INT_PTR RunWindowThread() {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
        InitCommonControlsEx(&controls);
        Graph_Initialize();
        started_ = main_->Create();
        if (started_) {
            StartPreview();
            main_->FillSizeCombo();
        }
        SetEvent(ready_);
        MSG msg;
        while (started_ && GetMessageW(&msg, nullptr, 0, 0) > 0) {
            if (msg.message == WM_CLOSE && msg.hwnd == main_->GetSafeHwnd()) break;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        main_->DestroyWindow();
        Graph_Uninitialize();
        return 0;
    }

    static void StartPreview() {
        // OK on the other page creates the work folder: keep it in the test's
        // own folder rather than beside the test program.
        const std::string work = folder_->File("work");
        SetWorkPath(CString(std::wstring(work.begin(), work.end())));
        if (!ListAudioDevices().IsEmpty()) SelectAudioDevice(0);
        main_->StartDevice(0);
    }

    void SetUp() override {
        ASSERT_TRUE(started_) << "the main window or its preview did not start";
        OnWindowThread([] {
            main_->starts = main_->fills = 0;
            StoreLastPage(0);
        });
    }

    void TearDown() override {
        if (IsWindow(dialog_)) PostMessageW(dialog_, WM_COMMAND, IDCANCEL, 0);
        harness::WaitUntil([] { return !DialogOpen(); }, kWaitMs);
        dialog_ = nullptr;
    }

    // Snapshots at the enlarged sizes take their time.
    static void OnWindowThread(const std::function<void()>& work) {
        if (!main_->RunOnWindowThread(work, 20000)) ADD_FAILURE() << "the window thread did not answer";
    }
    static bool DialogOpen() {
        bool open = false;
        OnWindowThread([&] { open = main_->dialogOpen; });
        return open;
    }

    static HWND OpenDialog() {
        main_->OpenSettings();
        dialog_ = harness::FindTopLevelWindow(L"Settings", kWaitMs, GetCurrentProcessId());
        return dialog_;
    }
    // Presses OK or Cancel and waits until the dialog is gone; the dialog's result.
    static INT_PTR CloseDialog(int button) {
        harness::Click(harness::FindControl(dialog_, button));
        EXPECT_TRUE(harness::WaitUntil([] { return !DialogOpen(); }, kWaitMs)) << "the dialog stayed open";
        dialog_ = nullptr;
        INT_PTR result = 0;
        OnWindowThread([&] { result = main_->lastResult; });
        return result;
    }

    static HWND DialogControl(int id) { return GetDlgItem(dialog_, id); }
    static HWND Page(int index) { return GetParent(harness::FindControl(dialog_, kPageMarkers[index])); }
    static HWND PageControl(int page, int id) { return GetDlgItem(Page(page), id); }
    static HWND MainControl(int id) { return GetDlgItem(main_->GetSafeHwnd(), id); }
    static int ShownPage() {
        int shown = -1;
        for (int i = 0; i < 4; ++i) {
            if (!harness::IsVisible(Page(i))) continue;
            if (shown != -1) return -2;  // two pages at once
            shown = i;
        }
        return shown;
    }
    static bool ApplyEnabled() { return harness::IsEnabled(DialogControl(IDC_SETTINGS_APPLY)); }
    static bool ApplyBecomes(bool enabled) {
        return harness::WaitUntil([&] { return ApplyEnabled() == enabled; }, kWaitMs);
    }
    static void ClickAndWait(HWND control, const std::function<bool()>& until) {
        harness::Click(control);
        EXPECT_TRUE(harness::WaitUntil(until, kWaitMs));
    }
    static bool Checked(int page, int id) { return harness::IsChecked(PageControl(page, id)); }

    // A BMP snapshot of what the preview shows now, taken by the engine.
    static bool Snapshot(graph_test::BmpFile* bmp) {
        const std::string path = folder_->File("shot.bmp");
        const std::wstring wide(path.begin(), path.end());
        int done = 0;
        OnWindowThread([&] { done = CaptureBitmap(wide.c_str(), 1, 0); });
        return done == 1 && graph_test::LoadBmp(path, bmp);
    }
    static std::optional<uint32_t> ShownFrame() {
        graph_test::BmpFile bmp;
        if (!Snapshot(&bmp)) return std::nullopt;
        return graph_test::BmpFrameCounter(bmp);
    }
    static SIZE SnapshotSize() {
        graph_test::BmpFile bmp;
        if (!Snapshot(&bmp)) return SIZE{0, 0};
        return SIZE{bmp.info.biWidth, std::abs(bmp.info.biHeight)};
    }

    static std::unique_ptr<CTestMainWindow> main_;
    static std::unique_ptr<harness::UiThread> thread_;
    static std::unique_ptr<graph_test::TempFolder> folder_;
    static HANDLE ready_;
    static bool started_;
    static HWND dialog_;
};

std::unique_ptr<CTestMainWindow> SettingsDialogTest::main_;
std::unique_ptr<harness::UiThread> SettingsDialogTest::thread_;
std::unique_ptr<graph_test::TempFolder> SettingsDialogTest::folder_ = std::make_unique<graph_test::TempFolder>();
HANDLE SettingsDialogTest::ready_ = nullptr;
bool SettingsDialogTest::started_ = false;
HWND SettingsDialogTest::dialog_ = nullptr;

TEST_F(SettingsDialogTest, OpensOnThePageLastShownAlsoAfterCancel) {
    ASSERT_NE(OpenDialog(), nullptr);
    EXPECT_EQ(ShownPage(), 0);
    EXPECT_EQ(Send(DialogControl(IDC_SETTINGS_PAGE_LIST), LB_GETCOUNT), 4);
    EXPECT_FALSE(ApplyEnabled());
    // Every page lies on the frame's rectangle.
    RECT frame, page;
    GetWindowRect(DialogControl(IDC_SETTINGS_PAGE_FRAME), &frame);
    for (int i = 0; i < 4; ++i) {
        GetWindowRect(Page(i), &page);
        EXPECT_TRUE(EqualRect(&frame, &page)) << "page " << i;
    }

    ASSERT_TRUE(harness::ChooseListEntry(DialogControl(IDC_SETTINGS_PAGE_LIST), 2));
    EXPECT_TRUE(harness::WaitUntil([] { return ShownPage() == 2; }, kWaitMs)) << ShownPage();
    EXPECT_EQ(CloseDialog(IDCANCEL), IDCANCEL);
    int stored = -1;
    OnWindowThread([&] { stored = StoredLastPage(); });
    EXPECT_EQ(stored, 2);

    ASSERT_NE(OpenDialog(), nullptr);
    EXPECT_EQ(ShownPage(), 2);
    EXPECT_EQ(Send(DialogControl(IDC_SETTINGS_PAGE_LIST), LB_GETCURSEL), 2);
    ASSERT_TRUE(harness::ChooseListEntry(DialogControl(IDC_SETTINGS_PAGE_LIST), 3));
    EXPECT_TRUE(harness::WaitUntil([] { return ShownPage() == 3; }, kWaitMs)) << ShownPage();
    EXPECT_EQ(CloseDialog(IDOK), IDOK);

    ASSERT_NE(OpenDialog(), nullptr);
    EXPECT_EQ(ShownPage(), 3);
    EXPECT_EQ(CloseDialog(IDCANCEL), IDCANCEL);
}

TEST_F(SettingsDialogTest, AStoredLastPageOutsideThePagesOpensTheFirstPage) {
    for (int stored : {4, -1}) {
        OnWindowThread([&] { StoreLastPage(stored); });
        ASSERT_NE(OpenDialog(), nullptr) << stored;
        EXPECT_EQ(ShownPage(), 0) << stored;
        EXPECT_EQ(Send(DialogControl(IDC_SETTINGS_PAGE_LIST), LB_GETCURSEL), 0) << stored;
        EXPECT_EQ(CloseDialog(IDCANCEL), IDCANCEL);
        int now = -1;
        OnWindowThread([&] { now = StoredLastPage(); });
        EXPECT_EQ(now, 0) << "closing stores the page that was shown";
    }
}

TEST_F(SettingsDialogTest, BmpDisablesTheQualitySliderAndJpegEnablesItAgain) {
    OnWindowThread([] { WriteSnapSettings(SnapSettings{0, 80, 0}); });
    ASSERT_NE(OpenDialog(), nullptr);
    HWND slider = PageControl(0, IDC_SNAP_QUALITY);
    EXPECT_TRUE(Checked(0, IDC_SNAP_JPEG));
    EXPECT_TRUE(harness::IsEnabled(slider));
    EXPECT_EQ(Send(slider, TBM_GETPOS), 80);
    EXPECT_EQ(Send(slider, TBM_GETRANGEMAX), 100);

    ClickAndWait(PageControl(0, IDC_SNAP_BMP), [&] { return !harness::IsEnabled(slider); });
    EXPECT_FALSE(Checked(0, IDC_SNAP_JPEG));
    EXPECT_TRUE(ApplyBecomes(true));
    ClickAndWait(PageControl(0, IDC_SNAP_JPEG), [&] { return harness::IsEnabled(slider); });
    EXPECT_FALSE(Checked(0, IDC_SNAP_BMP));

    // BMP, 20 s and a quality of 55 (the slider as a keyboard move leaves it).
    ClickAndWait(PageControl(0, IDC_SNAP_BMP), [&] { return !harness::IsEnabled(slider); });
    ClickAndWait(PageControl(0, IDC_SNAP_TIMER_20S), [] { return Checked(0, IDC_SNAP_TIMER_20S); });
    Send(slider, TBM_SETPOS, TRUE, 55);
    Send(Page(0), WM_HSCROLL, TB_ENDTRACK, reinterpret_cast<LPARAM>(slider));
    harness::Click(DialogControl(IDC_SETTINGS_APPLY));
    EXPECT_TRUE(ApplyBecomes(false));
    SnapSettings applied;
    OnWindowThread([&] { applied = ReadSnapSettings(); });
    EXPECT_EQ(applied.imageType, 1);
    EXPECT_EQ(applied.selfTimerType, 1);
    EXPECT_EQ(applied.jpegQuality, 55);
    EXPECT_EQ(CloseDialog(IDCANCEL), IDCANCEL);

    ASSERT_NE(OpenDialog(), nullptr);
    EXPECT_TRUE(Checked(0, IDC_SNAP_BMP));
    EXPECT_FALSE(harness::IsEnabled(PageControl(0, IDC_SNAP_QUALITY)));
    EXPECT_TRUE(Checked(0, IDC_SNAP_TIMER_20S));
    EXPECT_EQ(CloseDialog(IDCANCEL), IDCANCEL);
    OnWindowThread([] { WriteSnapSettings(SnapSettings{}); });
}

TEST_F(SettingsDialogTest, RecordingPageWritesFormatQualityAndSoundOnOk) {
    // Record type 2 records MPEG, so the page shows MPEG for it.
    OnWindowThread([] {
        WriteRecordSettings(RecordSettings{2, 1, 0});
        StoreLastPage(1);
    });
    ASSERT_NE(OpenDialog(), nullptr);
    ASSERT_EQ(ShownPage(), 1);
    EXPECT_TRUE(Checked(1, IDC_REC_MPEG));
    EXPECT_FALSE(Checked(1, IDC_REC_AVI));
    EXPECT_EQ(Send(PageControl(1, IDC_REC_QUALITY), TBM_GETRANGEMAX), 2);
    EXPECT_EQ(Send(PageControl(1, IDC_REC_QUALITY), TBM_GETPOS), 1);
    EXPECT_FALSE(Checked(1, IDC_REC_SOUND));

    ClickAndWait(PageControl(1, IDC_REC_AVI), [] { return Checked(1, IDC_REC_AVI); });
    EXPECT_TRUE(ApplyBecomes(true));
    ClickAndWait(PageControl(1, IDC_REC_SOUND), [] { return Checked(1, IDC_REC_SOUND); });
    EXPECT_EQ(CloseDialog(IDOK), IDOK);
    RecordSettings applied;
    OnWindowThread([&] { applied = ReadRecordSettings(); });
    EXPECT_EQ(applied.recordType, 1);
    EXPECT_EQ(applied.mpegQuality, 1);
    EXPECT_EQ(applied.captureAudio, 1);
    OnWindowThread([] { WriteRecordSettings(RecordSettings{}); });
}

TEST_F(SettingsDialogTest, ApplyWithNoChangesKeepsThePreviewRunning) {
    const CString pathBefore = [] { CString p; OnWindowThread([&] { p = WorkPath(); }); return p; }();
    const std::optional<uint32_t> before = ShownFrame();
    ASSERT_TRUE(before.has_value()) << "no preview frame before";
    ASSERT_NE(OpenDialog(), nullptr);
    // A change and its undoing leave every setting as it was, with Apply enabled.
    ClickAndWait(PageControl(0, IDC_SNAP_BMP), [] { return Checked(0, IDC_SNAP_BMP); });
    ClickAndWait(PageControl(0, IDC_SNAP_JPEG), [] { return Checked(0, IDC_SNAP_JPEG); });
    ASSERT_TRUE(ApplyBecomes(true));
    harness::Click(DialogControl(IDC_SETTINGS_APPLY));
    ASSERT_TRUE(ApplyBecomes(false));
    int starts = -1, fills = -1;
    OnWindowThread([&] { starts = main_->starts; fills = main_->fills; });
    EXPECT_EQ(starts, 0) << "the device page restarted the preview";
    EXPECT_EQ(fills, 1) << "the main window's size combo is refilled on every apply";
    Sleep(300);
    const std::optional<uint32_t> after = ShownFrame();
    ASSERT_TRUE(after.has_value()) << "no preview frame after Apply";
    EXPECT_GT(*after, *before) << "the camera's frame count started again or stood still";

    EXPECT_EQ(CloseDialog(IDOK), IDOK);
    OnWindowThread([&] { starts = main_->starts; fills = main_->fills; });
    EXPECT_EQ(starts, 0);
    EXPECT_EQ(fills, 2);
    CString pathAfter;
    OnWindowThread([&] { pathAfter = WorkPath(); });
    EXPECT_EQ(pathAfter, pathBefore);
}

TEST_F(SettingsDialogTest, DevicePageSwitchesCameras) {
    test_devices::ScopedTestDevices devices(L"cameras=2;camera1.name=Talvoro Second Camera;camera1.sizes=2");
    ASSERT_EQ(devices.Result(), S_OK);
    OnWindowThread([] { StoreLastPage(2); });
    ASSERT_NE(OpenDialog(), nullptr);
    ASSERT_EQ(ShownPage(), 2);
    HWND video = PageControl(2, IDC_DEV_VIDEO_COMBO);
    HWND audio = PageControl(2, IDC_DEV_AUDIO_COMBO);
    EXPECT_EQ(harness::ComboEntries(video),
              (std::vector<std::wstring>{L"Talvoro Test Camera", L"Talvoro Second Camera"}));
    EXPECT_EQ(harness::ComboSelection(video), 0);
    EXPECT_EQ(harness::ComboEntries(audio), (std::vector<std::wstring>{L"Talvoro Test Microphone"}));
    EXPECT_EQ(harness::ComboSelection(audio), 0);

    // The device in use chosen again is no change.
    ASSERT_TRUE(harness::ChooseComboEntry(video, 0));
    EXPECT_FALSE(ApplyEnabled());
    ASSERT_TRUE(harness::ChooseComboEntry(video, 1));
    EXPECT_TRUE(ApplyBecomes(true));
    harness::Click(DialogControl(IDC_SETTINGS_APPLY));
    ASSERT_TRUE(ApplyBecomes(false));
    int starts = 0, lastStarted = -1, current = -1;
    OnWindowThread([&] { starts = main_->starts; lastStarted = main_->lastStarted; current = CurrentVideoDevice(); });
    EXPECT_EQ(starts, 1);
    EXPECT_EQ(lastStarted, 1);
    EXPECT_EQ(current, 1);
    EXPECT_EQ(harness::ComboEntries(MainControl(CTestMainWindow::kSizeCombo)),
              (std::vector<std::wstring>{L"160 * 120", L"320 * 240"}));
    EXPECT_TRUE(ShownFrame().has_value()) << "the second camera does not preview";

    // Back to the first camera, then no selection in either combo changes nothing.
    ASSERT_TRUE(harness::ChooseComboEntry(video, 0));
    EXPECT_TRUE(ApplyBecomes(true));
    harness::Click(DialogControl(IDC_SETTINGS_APPLY));
    ASSERT_TRUE(ApplyBecomes(false));
    OnWindowThread([&] { starts = main_->starts; current = CurrentVideoDevice(); });
    EXPECT_EQ(starts, 2);
    EXPECT_EQ(current, 0);
    Send(video, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    Send(audio, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    Send(Page(2), WM_COMMAND, MAKEWPARAM(IDC_DEV_VIDEO_COMBO, CBN_SELCHANGE), reinterpret_cast<LPARAM>(video));
    EXPECT_FALSE(ApplyEnabled());
    EXPECT_EQ(CloseDialog(IDOK), IDOK);  // OK applies every page all the same
    int audioCurrent = -1, fills = 0;
    OnWindowThread([&] {
        starts = main_->starts;
        fills = main_->fills;
        current = CurrentVideoDevice();
        audioCurrent = CurrentAudioDevice();
    });
    EXPECT_EQ(starts, 2);
    EXPECT_EQ(fills, 3);
    EXPECT_EQ(current, 0);
    EXPECT_EQ(audioCurrent, 0);
}

TEST_F(SettingsDialogTest, InterpolationSwitchRunsTheConvertedPreviewAndBack) {
    // Record and the size list follow the switch once the engine has switched
    // the preview, which may come after the page's own controls.
    auto mainControlsBecome = [](bool enabled) {
        return harness::WaitUntil([&] {
            return harness::IsEnabled(MainControl(CTestMainWindow::kRecordButton)) == enabled &&
                   harness::IsEnabled(MainControl(CTestMainWindow::kSizeCombo)) == enabled;
        }, kWaitMs);
    };
    const SIZE native = SnapshotSize();
    ASSERT_GT(native.cx, 0) << "no snapshot of the native preview";
    OnWindowThread([] { StoreLastPage(3); });
    ASSERT_NE(OpenDialog(), nullptr);
    ASSERT_EQ(ShownPage(), 3);
    HWND sizes = PageControl(3, IDC_OTHER_SIZE_COMBO);
    EXPECT_EQ(harness::ComboEntries(sizes).size(), 6u);
    EXPECT_EQ(harness::ComboEntries(sizes).front(), L"1600 * 1200");
    EXPECT_FALSE(harness::IsEnabled(sizes));
    EXPECT_TRUE(harness::IsEnabled(MainControl(CTestMainWindow::kRecordButton)));

    // The switch acts on the main window at once, before Apply.
    ClickAndWait(PageControl(3, IDC_OTHER_ALLOW), [&] { return harness::IsEnabled(sizes); });
    EXPECT_TRUE(mainControlsBecome(false));
    ASSERT_TRUE(harness::ChooseComboEntry(sizes, L"2048 * 1536"));
    EXPECT_TRUE(ApplyBecomes(true));
    harness::Click(DialogControl(IDC_SETTINGS_APPLY));
    ASSERT_TRUE(ApplyBecomes(false));
    EXPECT_TRUE(harness::WaitUntil([] { return SnapshotSize().cx == 2048; }, kWaitMs));
    const SIZE enlarged = SnapshotSize();
    EXPECT_EQ(enlarged.cx, 2048);
    EXPECT_EQ(enlarged.cy, 1536);

    ClickAndWait(PageControl(3, IDC_OTHER_ALLOW), [&] { return !harness::IsEnabled(sizes); });
    EXPECT_TRUE(mainControlsBecome(true));
    harness::Click(DialogControl(IDC_SETTINGS_APPLY));
    ASSERT_TRUE(ApplyBecomes(false));
    EXPECT_TRUE(harness::WaitUntil([&] { return SnapshotSize().cx == native.cx; }, kWaitMs));
    EXPECT_EQ(SnapshotSize().cy, native.cy);

    // Cancel leaves the switch as flipped; the next opening shows it on.
    ClickAndWait(PageControl(3, IDC_OTHER_ALLOW), [&] { return harness::IsEnabled(sizes); });
    EXPECT_EQ(CloseDialog(IDCANCEL), IDCANCEL);
    EXPECT_FALSE(harness::IsEnabled(MainControl(CTestMainWindow::kRecordButton)));
    ASSERT_NE(OpenDialog(), nullptr);
    EXPECT_TRUE(Checked(3, IDC_OTHER_ALLOW));
    EXPECT_TRUE(harness::IsEnabled(PageControl(3, IDC_OTHER_SIZE_COMBO)));
    EXPECT_EQ(harness::ComboSelection(PageControl(3, IDC_OTHER_SIZE_COMBO)), 1);
    ClickAndWait(PageControl(3, IDC_OTHER_ALLOW), [] { return !Checked(3, IDC_OTHER_ALLOW); });
    EXPECT_EQ(CloseDialog(IDOK), IDOK);
    EXPECT_TRUE(harness::IsEnabled(MainControl(CTestMainWindow::kRecordButton)));
    bool on = true;
    OnWindowThread([&] { on = InterpolationEnabled(); });
    EXPECT_FALSE(on);
}

// The shell's folder browser of this process: a dialog other than `besides`.
HWND FindFolderBrowser(HWND besides) {
    HWND found = nullptr;
    harness::WaitUntil([&] {
        for (HWND box = FindWindowExW(nullptr, nullptr, L"#32770", nullptr); box;
             box = FindWindowExW(nullptr, box, L"#32770", nullptr)) {
            DWORD process = 0;
            GetWindowThreadProcessId(box, &process);
            if (box != besides && process == GetCurrentProcessId() && IsWindowVisible(box)) {
                found = box;
                return true;
            }
        }
        return false;
    }, kWaitMs);
    return found;
}

TEST_F(SettingsDialogTest, BrowseStartsAtTheWorkFolderAndPutsTheChoiceIntoTheEdit) {
    wchar_t temp[MAX_PATH] = L"";
    GetTempPathW(MAX_PATH, temp);
    CString start;
    start.Format(L"%sbrowse_settings_%lu", temp, GetCurrentProcessId());
    CreateDirectoryW(start, nullptr);
    OnWindowThread([&] {
        SetWorkPath(start);
        StoreLastPage(3);
    });
    ASSERT_NE(OpenDialog(), nullptr);
    // Typing alone does not move the browser's starting folder.
    HWND edit = PageControl(3, IDC_OTHER_WORK_PATH);
    Send(edit, EM_SETSEL, 0, -1);
    ASSERT_TRUE(harness::TypeText(edit, L"C:\\"));
    harness::Click(PageControl(3, IDC_OTHER_BROWSE));
    HWND browser = FindFolderBrowser(dialog_);
    ASSERT_NE(browser, nullptr) << "no folder browser";
    const std::wstring leaf = start.Mid(start.ReverseFind(L'\\') + 1).str();
    EXPECT_TRUE(harness::WaitUntil([&] {
        return harness::ReadText(harness::FindDescendantOfClass(browser, L"Edit")) == leaf;
    }, kWaitMs)) << "the browser did not start at the work folder";
    PostMessageW(browser, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(browser, IDOK)));
    EXPECT_TRUE(harness::WaitUntil([&] { return !IsWindow(browser); }, kWaitMs));
    EXPECT_TRUE(harness::WaitUntil([&] {
        return CString(harness::ReadText(edit)).CompareNoCase(start) == 0;
    }, kWaitMs)) << harness::ReadText(edit);
    EXPECT_EQ(CloseDialog(IDCANCEL), IDCANCEL);
    RemoveDirectoryW(start);
}

// A drive letter the system does not have.
std::wstring MissingDrive() {
    const DWORD drives = GetLogicalDrives();
    for (wchar_t letter = L'Q'; letter <= L'Y'; ++letter)
        if (!(drives & (1u << (letter - L'A')))) return std::wstring(1, letter) + L":";
    return L"";
}

TEST_F(SettingsDialogTest, AnUncreatableWorkFolderShowsTheErrorAndKeepsThePath) {
    const std::wstring drive = MissingDrive();
    ASSERT_FALSE(drive.empty());
    const std::string tempFolder = folder_->Path();
    const CString kept = CString(std::wstring(tempFolder.begin(), tempFolder.end()));
    OnWindowThread([&] {
        SetWorkPath(kept);
        StoreLastPage(3);
    });
    ASSERT_NE(OpenDialog(), nullptr);
    HWND edit = PageControl(3, IDC_OTHER_WORK_PATH);
    EXPECT_EQ(harness::ReadText(edit), kept.str());
    EXPECT_FALSE(ApplyEnabled());

    Send(edit, EM_SETSEL, 0, -1);
    ASSERT_TRUE(harness::TypeText(edit, drive + L"\\Snapory\\Capture"));
    EXPECT_TRUE(ApplyBecomes(true));
    harness::Click(DialogControl(IDC_SETTINGS_APPLY));
    const harness::MessageBoxInfo box = harness::WaitForMessageBox(kWaitMs, GetCurrentProcessId());
    ASSERT_NE(box.window, nullptr) << "no message about the work path";
    EXPECT_EQ(box.text, L"The Snapory! work path is error");
    EXPECT_TRUE(harness::AnswerMessageBox(box.window, IDOK));
    EXPECT_TRUE(ApplyBecomes(false));
    CString path;
    OnWindowThread([&] { path = WorkPath(); });
    EXPECT_EQ(path, kept);
    EXPECT_TRUE(IsWindow(dialog_)) << "the error ends the dialog";

    // Refused the same way, and not made: a folder longer than the 199 bytes
    // config.ini keeps of it, and one without an exact ANSI form, under
    // which no snapshot could be written.
    const CString tooLong = kept + L"\\" + CString(L'w', 200 - kept.GetLength() - 1);
    const CString noAnsiForm = kept + L"\\\u0E01";
    for (const CString& refused : {noAnsiForm, tooLong}) {
        Send(edit, EM_SETSEL, 0, -1);
        ASSERT_TRUE(harness::TypeText(edit, refused.str()));
        EXPECT_TRUE(ApplyBecomes(true));
        harness::Click(DialogControl(IDC_SETTINGS_APPLY));
        const harness::MessageBoxInfo refusal = harness::WaitForMessageBox(kWaitMs, GetCurrentProcessId());
        ASSERT_NE(refusal.window, nullptr) << "no message for a work path of " << refused.GetLength() << " characters";
        EXPECT_EQ(refusal.text, L"The Snapory! work path is error");
        EXPECT_TRUE(harness::AnswerMessageBox(refusal.window, IDOK));
        EXPECT_TRUE(ApplyBecomes(false));
        OnWindowThread([&] { path = WorkPath(); });
        EXPECT_EQ(path, kept);
        EXPECT_EQ(GetFileAttributesW(refused), INVALID_FILE_ATTRIBUTES) << "the refused folder was made";
    }

    // A folder that can be made is made, parents and all, and taken.
    const CString nested = kept + L"\\made\\by\\settings";
    Send(edit, EM_SETSEL, 0, -1);
    ASSERT_TRUE(harness::TypeText(edit, nested.str()));
    EXPECT_EQ(CloseDialog(IDOK), IDOK);
    OnWindowThread([&] { path = WorkPath(); });
    EXPECT_EQ(path, nested);
    const DWORD attributes = GetFileAttributesW(nested);
    EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY));
    RemoveDirectoryW(nested);
    RemoveDirectoryW(kept + L"\\made\\by");
    RemoveDirectoryW(kept + L"\\made");
}

}  // namespace
