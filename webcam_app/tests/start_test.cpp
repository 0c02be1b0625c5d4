// Orvane.exe's start under Wine: one instance only, the device chooser
// without the virtual webcam's own device, its index mapping, its close box,
// and a camera that another program holds.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/test_devices/test_device_client.h"
#include "test_devices/tests/capture_graph.h"
#include "test_devices/tests/device_listing.h"
#include "webcam_app/tests/orvane_install.h"

namespace {

using namespace orvane_test;

constexpr wchar_t kDevices[] = L"cameras=3;camera0.name=Cam A;camera1.name=Talvoro Pelloquin;camera2.name=Cam B";
constexpr wchar_t kHeldDevices[] =
    L"cameras=3;camera0.name=Cam A;camera1.name=Talvoro Pelloquin;camera2.name=Cam B;camera2.exclusive=1";
constexpr wchar_t kDeviceInUse[] = L"当前选择的设备被占用了，请先关闭相关程序再尝试！";

TEST(OrvaneStart, OneInstanceAChooserWithoutTheVirtualWebcamAndACloseBoxThatEndsIt) {
    test_devices::ScopedTestDevices devices(kDevices);
    ASSERT_EQ(devices.Result(), S_OK);
    OrvaneInstall orvane(L"orvane-start");
    ASSERT_NE(orvane.StartToChooser(), nullptr);
    EXPECT_EQ(harness::ComboEntries(harness::FindControl(orvane.Chooser(), 1024)),
              (std::vector<std::wstring>{L"Cam A", L"Cam B"}));
    EXPECT_EQ(harness::ComboSelection(harness::FindControl(orvane.Chooser(), 1024)), 0);

    // A second start ends at once, without a window, and leaves the first alone.
    harness::AppProcess second;
    ASSERT_TRUE(second.Start(orvane.Folder() + L"\\Orvane.exe", L"", orvane.Folder()));
    DWORD code = 1;
    ASSERT_TRUE(second.WaitForExit(10000, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(IsWindowVisible(orvane.Chooser()));

    // The chooser's close box ends the program.
    PostMessageW(orvane.Chooser(), WM_CLOSE, 0, 0);
    code = 1;
    ASSERT_TRUE(orvane.Process().WaitForExit(10000, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(FindWindowW(nullptr, kPanelTitle), nullptr);
}

TEST(OrvaneStart, ChoosingCamBOpensTheEngineDeviceBehindItAndAHeldOneEndsWithTheMessage) {
    test_devices::ScopedTestDevices devices(kHeldDevices);
    ASSERT_EQ(devices.Result(), S_OK);
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    {
        // Only Cam B (the engine's device 2) is exclusive: holding it makes
        // exactly the choice that opens device 2 fail.
        ComPtr<IBaseFilter> camB;
        ASSERT_EQ(test_devices::CreateTestDevice(CLSID_VideoInputDeviceCategory, 2, &camB), S_OK);
        test_devices::CaptureGraph holder;
        ASSERT_EQ(holder.Build(camB.Get()), S_OK);
        ASSERT_TRUE(SUCCEEDED(holder.Run()));
        ASSERT_GT(holder.WaitForFirstSample(), 0.0);

        OrvaneInstall held(L"orvane-held");
        ASSERT_NE(held.StartToChooser(), nullptr);
        ASSERT_TRUE(harness::ChooseComboEntry(harness::FindControl(held.Chooser(), 1024), L"Cam B"));
        PostMessageW(held.Chooser(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        const harness::MessageBoxInfo box = harness::WaitForMessageBox(20000, held.Process().Id());
        ASSERT_NE(box.window, nullptr);
        EXPECT_EQ(box.text, kDeviceInUse);
        EXPECT_TRUE(harness::AnswerMessageBox(box.window, IDOK));
        DWORD code = 1;
        ASSERT_TRUE(held.Process().WaitForExit(10000, &code));
        EXPECT_EQ(code, 0u);

        // Cam A is free meanwhile: the panel comes.
        OrvaneInstall other(L"orvane-cam-a");
        ASSERT_TRUE(other.Start(L"Cam A"));
        EXPECT_TRUE(other.Close());
        holder.Stop();
    }
    // Free again, Cam B opens too.
    OrvaneInstall free(L"orvane-cam-b");
    ASSERT_TRUE(free.Start(L"Cam B"));
    EXPECT_TRUE(free.Close());
    CoUninitialize();
}

TEST(OrvaneStart, EscapeInTheChooserEndsItAndAnEmptyChooserLeadsToTheInUseMessage) {
    {
        test_devices::ScopedTestDevices devices(kDevices);
        ASSERT_EQ(devices.Result(), S_OK);
        OrvaneInstall orvane(L"orvane-escape");
        ASSERT_NE(orvane.StartToChooser(), nullptr);
        PostMessageW(orvane.Chooser(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        DWORD code = 1;
        ASSERT_TRUE(orvane.Process().WaitForExit(10000, &code));
        EXPECT_EQ(code, 0u);
    }
    // Only the virtual webcam's own device: nothing to choose; OK tries the
    // engine's device 0, which is that device and cannot be its own source.
    test_devices::ScopedTestDevices devices(L"cameras=1;camera0.name=Talvoro Pelloquin;camera0.exclusive=1");
    ASSERT_EQ(devices.Result(), S_OK);
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    {
        ComPtr<IBaseFilter> only;
        ASSERT_EQ(test_devices::CreateTestDevice(CLSID_VideoInputDeviceCategory, 0, &only), S_OK);
        test_devices::CaptureGraph holder;
        ASSERT_EQ(holder.Build(only.Get()), S_OK);
        ASSERT_TRUE(SUCCEEDED(holder.Run()));
        OrvaneInstall orvane(L"orvane-empty");
        ASSERT_NE(orvane.StartToChooser(), nullptr);
        EXPECT_TRUE(harness::ComboEntries(harness::FindControl(orvane.Chooser(), 1024)).empty());
        PostMessageW(orvane.Chooser(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        const harness::MessageBoxInfo box = harness::WaitForMessageBox(20000, orvane.Process().Id());
        ASSERT_NE(box.window, nullptr);
        EXPECT_EQ(box.text, kDeviceInUse);
        harness::AnswerMessageBox(box.window, IDOK);
        DWORD code = 1;
        ASSERT_TRUE(orvane.Process().WaitForExit(10000, &code));
        EXPECT_EQ(code, 0u);
        holder.Stop();
    }
    CoUninitialize();
}

}  // namespace
