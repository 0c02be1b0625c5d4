// The probe dialog as a separate program started through CWinApp: the
// harness drives another process's windows the way application tests will.
#include <gtest/gtest.h>

#include "platform/dialog_framework/tests/probe/probe_ids.h"
#include "testing/window_harness/window_harness.h"

namespace {

std::wstring ProbeProgram() { return harness::BuildFolder(L"test_apps") + L"\\framework_probe_app.exe"; }

TEST(ProbeProcess, AnotherProgramsDialogIsDrivenAndItsExitCodeComesFromExitInstance) {
    harness::AppProcess app;
    ASSERT_TRUE(app.Start(ProbeProgram())) << "cannot start the probe program";
    HWND window = harness::FindTopLevelWindow(L"Framework probe", 10000, app.Id());
    ASSERT_NE(window, nullptr);
    HWND status = harness::FindControl(window, IDC_STATUS);
    auto statusBecomes = [&](const std::wstring& text) {
        return harness::WaitUntil([&] { return harness::ReadText(status) == text; }, 3000);
    };

    harness::Click(harness::FindControl(window, IDC_COUNT));
    EXPECT_TRUE(statusBecomes(L"Clicked 1")) << harness::ReadText(status);

    ASSERT_TRUE(harness::ChooseComboEntry(harness::FindControl(window, IDC_CHOICE), 2));
    EXPECT_TRUE(statusBecomes(L"Chose Cherry")) << harness::ReadText(status);

    // The main window owns the box and lends it the program's name.
    harness::Click(harness::FindControl(window, IDC_ASK));
    const harness::MessageBoxInfo box = harness::WaitForMessageBox(3000, app.Id(), window);
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.title, L"framework_probe_app");
    EXPECT_EQ(box.text, L"Proceed?");
    harness::AnswerMessageBox(box.window, IDYES);
    EXPECT_TRUE(statusBecomes(L"Answer 6")) << harness::ReadText(status);

    // What another process painted is read back from the screen as well.
    RECT client{};
    GetClientRect(window, &client);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    RECT frame{};
    GetWindowRect(window, &frame);
    const int top = origin.y - frame.top + client.bottom - 30, left = origin.x - frame.left + 10;
    EXPECT_TRUE(harness::WaitUntil([&] {
        return harness::CaptureWindow(window).Count(RGB(10, 200, 30), RECT{left, top, left + 40, top + 20}) == 800;
    }, 3000));

    harness::Click(harness::FindControl(window, IDC_FINISH));
    DWORD exitCode = 0;
    ASSERT_TRUE(app.WaitForExit(5000, &exitCode));
    EXPECT_EQ(exitCode, 1000u + PROBE_FINISH_RESULT);
}

}  // namespace
