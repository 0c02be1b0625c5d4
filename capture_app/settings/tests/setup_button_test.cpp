// The settings dialog inside the real Snapory.exe, opened by its Setup
// button: it opens on config.ini's last page with Resource.ini's captions and
// the test devices, and the page shown at Cancel reaches config.ini at exit.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "capture_app/resource.h"
#include "capture_app/settings/settings_resource.h"
#include "capture_app/tests/snapory_install.h"

namespace {

using namespace snapory_test;

HWND PageOf(HWND dialog, int markerId) { return GetParent(harness::FindControl(dialog, markerId)); }

// The settings texts of Resource.ini; the snapshot page's are left out.
void WriteSettingsTexts(const std::wstring& folder) {
    const char text[] =
        "[ListSetting]\r\npage1=Snapshots\r\npage2=Recording\r\npage3=Devices\r\npage4=Other\r\n"
        "IDOK=Done\r\nIDCancle=Leave\r\nIDApply=Use now\r\n"
        "[DeviceSetting]\r\nVideoSetup=Camera\r\nVideoDevice=Picture from\r\nVideoProp=Camera settings\r\n";
    HANDLE file = CreateFileW((folder + L"\\Resource.ini").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, text, sizeof text - 1, &written, nullptr);
    CloseHandle(file);
}

std::vector<std::wstring> ListEntries(HWND list) {
    std::vector<std::wstring> entries;
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t entry[64] = L"";
        SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(entry));
        entries.push_back(entry);
    }
    return entries;
}

TEST(SnaporySetupButton, OpensTheSettingsOnTheLastPageAndStoresThePageShownAtCancel) {
    SnaporyInstall install(L"settings-setup-button");
    install.WriteSkin();
    WriteSettingsTexts(install.Folder());
    install.WriteConfig("[config]\nLastPage=2\n");
    ASSERT_TRUE(install.Start());

    HWND setup = install.Control(IDC_BTN_SETUP);
    ASSERT_TRUE(harness::WaitUntil([&] { return harness::IsVisible(setup) && harness::IsEnabled(setup); }, 10000));
    // On a loaded machine a click may land before the program listens; a user
    // would press again.
    HWND dialog = nullptr;
    for (int attempt = 0; attempt < 2 && !dialog; ++attempt) {
        install.Click(IDC_BTN_SETUP);
        dialog = harness::FindTopLevelWindow(L"Settings", 6000, install.Process().Id());
    }
    ASSERT_NE(dialog, nullptr) << "Setup opened no settings dialog";
    HWND devicePage = PageOf(dialog, IDC_DEV_VIDEO_COMBO);
    EXPECT_TRUE(harness::IsVisible(devicePage));
    EXPECT_FALSE(harness::IsVisible(PageOf(dialog, IDC_SNAP_JPEG)));
    EXPECT_EQ(harness::ComboEntries(GetDlgItem(devicePage, IDC_DEV_VIDEO_COMBO)),
              (std::vector<std::wstring>{L"Talvoro Test Camera"}));
    EXPECT_EQ(harness::ComboSelection(GetDlgItem(devicePage, IDC_DEV_VIDEO_COMBO)), 0);

    // Captions come from the text slots; a missing slot empties the template's.
    EXPECT_EQ(ListEntries(GetDlgItem(dialog, IDC_SETTINGS_PAGE_LIST)),
              (std::vector<std::wstring>{L"Snapshots", L"Recording", L"Devices", L"Other"}));
    EXPECT_EQ(harness::ReadText(GetDlgItem(dialog, IDOK)), L"Done");
    EXPECT_EQ(harness::ReadText(GetDlgItem(dialog, IDCANCEL)), L"Leave");
    EXPECT_EQ(harness::ReadText(GetDlgItem(dialog, IDC_SETTINGS_APPLY)), L"Use now");
    EXPECT_EQ(harness::ReadText(GetDlgItem(devicePage, IDC_DEV_VIDEO_PROPERTIES)), L"Camera settings");
    EXPECT_EQ(harness::ReadText(GetDlgItem(devicePage, IDC_DEV_VIDEO_GROUP)), L"Camera");
    EXPECT_EQ(harness::ReadText(GetDlgItem(devicePage, IDC_DEV_AUDIO_PROPERTIES)), L"");
    EXPECT_EQ(harness::ReadText(GetDlgItem(PageOf(dialog, IDC_SNAP_JPEG), IDC_SNAP_TIMER_GROUP)), L"");

    ASSERT_TRUE(harness::ChooseListEntry(GetDlgItem(dialog, IDC_SETTINGS_PAGE_LIST), 1));
    EXPECT_TRUE(harness::WaitUntil([&] { return harness::IsVisible(PageOf(dialog, IDC_REC_QUALITY)); }, 5000));
    harness::Click(GetDlgItem(dialog, IDCANCEL));
    EXPECT_TRUE(harness::WaitUntil([&] { return !IsWindow(dialog); }, 10000));

    ASSERT_TRUE(install.Close());
    EXPECT_NE(install.ReadConfig().find("LastPage=1"), std::string::npos) << install.ReadConfig();
}

}  // namespace
