// The settings dialog inside the real Snapory.exe, opened by its Setup
// button: it opens on config.ini's last page, shows the test devices and the
// Resource.ini captions, and the page shown at Cancel reaches config.ini at exit.
#include <windows.h>

#include <gtest/gtest.h>

#include "capture_app/resource.h"
#include "capture_app/settings/settings_resource.h"
#include "capture_app/tests/snapory_install.h"

namespace {

using namespace snapory_test;

HWND PageOf(HWND dialog, int markerId) { return GetParent(harness::FindControl(dialog, markerId)); }

TEST(SnaporySetupButton, OpensTheSettingsOnTheLastPageAndStoresThePageShownAtCancel) {
    SnaporyInstall install(L"settings-setup-button");
    install.WriteResourceIni();
    install.WriteSkin();
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

    ASSERT_TRUE(harness::ChooseListEntry(GetDlgItem(dialog, IDC_SETTINGS_PAGE_LIST), 1));
    EXPECT_TRUE(harness::WaitUntil([&] { return harness::IsVisible(PageOf(dialog, IDC_REC_QUALITY)); }, 5000));
    harness::Click(GetDlgItem(dialog, IDCANCEL));
    EXPECT_TRUE(harness::WaitUntil([&] { return !IsWindow(dialog); }, 10000));

    ASSERT_TRUE(install.Close());
    EXPECT_NE(install.ReadConfig().find("LastPage=1"), std::string::npos) << install.ReadConfig();
}

}  // namespace
