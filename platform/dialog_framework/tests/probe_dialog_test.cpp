// The framework's dialog from a resource template, run modally on a thread of
// this process and driven like a user would through the window harness.
#include <windows.h>
#include <commctrl.h>

#include <memory>

#include <gtest/gtest.h>

#include "platform/dialog_framework/tests/probe/probe_dialog.h"
#include "testing/window_harness/window_harness.h"

namespace {

class ProbeDialogTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        dialog_ = std::make_unique<CProbeDlg>();
        thread_ = std::make_unique<harness::UiThread>([] {
            INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
            InitCommonControlsEx(&controls);
            return dialog_->DoModal();
        });
        window_ = harness::FindTopLevelWindow(L"Framework probe", 5000, GetCurrentProcessId());
    }

    static void TearDownTestSuite() {
        if (IsWindow(window_)) PostMessageW(window_, WM_COMMAND, IDCANCEL, 0);
        thread_->Join(5000);
        thread_.reset();
        dialog_.reset();
    }

    void SetUp() override { ASSERT_NE(window_, nullptr) << "the probe dialog did not appear"; }

    static HWND Control(int id) { return harness::FindControl(window_, id); }
    static std::wstring Status() { return harness::ReadText(Control(IDC_STATUS)); }
    static bool StatusBecomes(const std::wstring& text) {
        return harness::WaitUntil([&] { return Status() == text; }, 3000);
    }
    // Returns once the dialog's thread has handled everything sent before.
    static void Sync() { SendMessageW(window_, WM_NULL, 0, 0); }

    static std::unique_ptr<CProbeDlg> dialog_;
    static std::unique_ptr<harness::UiThread> thread_;
    static HWND window_;
};

std::unique_ptr<CProbeDlg> ProbeDialogTest::dialog_;
std::unique_ptr<harness::UiThread> ProbeDialogTest::thread_;
HWND ProbeDialogTest::window_ = nullptr;

TEST_F(ProbeDialogTest, TemplateControlsAreFoundByIdWithTheirTexts) {
    for (int id : {IDC_STATUS, IDC_COUNT, IDC_CHECK, IDC_LEFT, IDC_RIGHT, IDC_CHOICE, IDC_LIST, IDC_EDIT, IDC_SLIDER,
                   IDC_ASK, IDC_FINISH, IDOK, IDCANCEL})
        EXPECT_NE(Control(id), nullptr) << id;
    EXPECT_EQ(harness::ReadText(Control(IDC_COUNT)), L"Count");
    EXPECT_EQ(harness::ReadText(Control(IDC_FINISH)), L"Finish");
    EXPECT_EQ(Status(), L"Ready");  // OnInitDialog ran
    EXPECT_EQ(harness::ComboEntries(Control(IDC_CHOICE)), (std::vector<std::wstring>{L"Apple", L"Banana", L"Cherry"}));
    EXPECT_EQ(harness::ComboSelection(Control(IDC_CHOICE)), CB_ERR);
    EXPECT_TRUE(harness::IsChecked(Control(IDC_LEFT)));
    EXPECT_TRUE(harness::IsEnabled(Control(IDC_ASK)));
}

TEST_F(ProbeDialogTest, ClicksReachTheMappedHandlers) {
    harness::Click(Control(IDC_COUNT));
    EXPECT_TRUE(StatusBecomes(L"Clicked 1")) << Status();
    harness::Click(Control(IDC_COUNT));
    EXPECT_TRUE(StatusBecomes(L"Clicked 2")) << Status();

    harness::Click(Control(IDC_CHECK));
    EXPECT_TRUE(StatusBecomes(L"Check 1")) << Status();
    EXPECT_TRUE(harness::IsChecked(Control(IDC_CHECK)));

    harness::Click(Control(IDC_RIGHT));
    EXPECT_TRUE(harness::WaitUntil([] { return harness::IsChecked(Control(IDC_RIGHT)); }, 3000));
    EXPECT_FALSE(harness::IsChecked(Control(IDC_LEFT)));
}

TEST_F(ProbeDialogTest, ComboListAndEditNotificationsReachTheirHandlers) {
    ASSERT_TRUE(harness::ChooseComboEntry(Control(IDC_CHOICE), L"Banana"));
    EXPECT_TRUE(StatusBecomes(L"Chose Banana")) << Status();
    EXPECT_EQ(harness::ComboSelection(Control(IDC_CHOICE)), 1);
    EXPECT_FALSE(harness::ChooseComboEntry(Control(IDC_CHOICE), L"Durian"));

    ASSERT_TRUE(harness::ChooseListEntry(Control(IDC_LIST), 2));
    EXPECT_TRUE(StatusBecomes(L"Listed Cherry")) << Status();

    ASSERT_TRUE(harness::TypeText(Control(IDC_EDIT), L"hi there"));
    EXPECT_TRUE(StatusBecomes(L"Typed hi there")) << Status();
    EXPECT_EQ(harness::ReadText(Control(IDC_EDIT)), L"hi there");
}

TEST_F(ProbeDialogTest, SliderNotificationsReachTheNotifyMap) {
    HWND slider = Control(IDC_SLIDER);
    RECT thumb{};
    SendMessageW(slider, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    POINT grip{(thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2};
    ClientToScreen(slider, &grip);
    // Dragging the thumb to the right; its release is told with NM_RELEASEDCAPTURE.
    harness::MoveMouseTo(grip);
    harness::PressLeftButton();
    harness::MoveMouseTo(POINT{grip.x + 40, grip.y});
    harness::ReleaseLeftButton();
    ASSERT_TRUE(harness::WaitUntil([] { return Status().rfind(L"Slider ", 0) == 0; }, 3000)) << Status();
    EXPECT_GT(std::stoi(Status().substr(7)), 40);
}

TEST_F(ProbeDialogTest, AModelessChildDialogHandlesItsOwnControls) {
    HWND button = Control(IDC_PAGE_BUTTON);
    ASSERT_NE(button, nullptr);
    HWND page = GetParent(button);
    EXPECT_EQ(GetParent(page), window_);
    EXPECT_TRUE(GetWindowLongW(page, GWL_STYLE) & WS_CHILD);
    harness::Click(button);
    EXPECT_TRUE(StatusBecomes(L"Page clicked")) << Status();
}

TEST_F(ProbeDialogTest, MessageBoxesAreReadAndAnswered) {
    harness::Click(Control(IDC_ASK));
    const harness::MessageBoxInfo box = harness::WaitForMessageBox(3000, GetCurrentProcessId());
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.text, L"Proceed?");
    EXPECT_EQ(box.title, L"dialog_framework_test");  // the program's name
    EXPECT_FALSE(harness::AnswerMessageBox(box.window, IDOK)) << "a Yes/No box has no OK button";
    EXPECT_TRUE(harness::AnswerMessageBox(box.window, IDNO));
    EXPECT_TRUE(StatusBecomes(L"Answer 7")) << Status();
}

TEST_F(ProbeDialogTest, TimersTickUntilKilled) {
    ASSERT_TRUE(harness::WaitUntil([] { Sync(); return dialog_->m_ticks >= 3; }, 3000));
    Sleep(150);
    Sync();
    EXPECT_EQ(dialog_->m_ticks, 3);
}

TEST_F(ProbeDialogTest, MovesSizesAndTheMinimumTrackingSizeReachTheHandlers) {
    SetWindowPos(window_, nullptr, 40, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Sync();
    POINT origin{0, 0};
    ClientToScreen(window_, &origin);
    EXPECT_EQ(dialog_->m_lastMove, CPoint(origin));

    SetWindowPos(window_, nullptr, 0, 0, 100, 100, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Sync();
    RECT window{}, client{};
    GetWindowRect(window_, &window);
    GetClientRect(window_, &client);
    EXPECT_EQ(window.right - window.left, kProbeMinTrackSize.cx);
    EXPECT_EQ(window.bottom - window.top, kProbeMinTrackSize.cy);
    EXPECT_EQ(dialog_->m_lastSize, CSize(client.right, client.bottom));
}

TEST_F(ProbeDialogTest, HitTestsAndUserMessagesReturnTheHandlersResults) {
    RECT r{};
    GetWindowRect(window_, &r);
    EXPECT_EQ(SendMessageW(window_, WM_NCHITTEST, 0, MAKELPARAM(r.right - 5, r.bottom - 5)), HTBOTTOMRIGHT);
    EXPECT_EQ(SendMessageW(window_, WM_NCHITTEST, 0, MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2)),
              HTCLIENT);
    EXPECT_EQ(SendMessageW(window_, WM_PROBE_DOUBLE, 21, 0), 42);
}

TEST_F(ProbeDialogTest, TheSystemMenuCarriesTheItemFromTheStringTable) {
    wchar_t text[64] = L"";
    GetMenuStringW(GetSystemMenu(window_, FALSE), IDM_ABOUT_PROBE, text, 64, MF_BYCOMMAND);
    EXPECT_STREQ(text, L"&About probe...");
    PostMessageW(window_, WM_SYSCOMMAND, IDM_ABOUT_PROBE, 0);
    EXPECT_TRUE(StatusBecomes(L"About")) << Status();
}

TEST_F(ProbeDialogTest, PaintingShowsTheOffscreenPictureAndMousePressesArriveInClientPoints) {
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT window{}, client{};
    GetWindowRect(window_, &window);
    GetClientRect(window_, &client);
    POINT origin{0, 0};
    ClientToScreen(window_, &origin);
    const RECT area{origin.x - window.left + kProbePaintRect.left, origin.y - window.top + client.bottom - 30,
                    origin.x - window.left + kProbePaintRect.right, origin.y - window.top + client.bottom - 10};
    const int areaPixels = (area.right - area.left) * (area.bottom - area.top);
    harness::Screenshot shot;
    EXPECT_TRUE(harness::WaitUntil([&] {
        shot = harness::CaptureWindow(window_);
        return shot.Count(kProbePaintColour, area) == areaPixels;
    }, 3000)) << shot.Count(kProbePaintColour, area) << " of " << areaPixels;
    EXPECT_EQ(shot.Count(RGB(255, 0, 0)), 0) << "the rectangle's fill covers its canvas";
    EXPECT_EQ(shot.Count(kProbePaintColour), areaPixels) << "nothing outside the clip region";

    const POINT press{kProbePaintRect.left + 5, client.bottom - 25};
    harness::MoveMouseTo(POINT{origin.x + press.x, origin.y + press.y});
    harness::PressLeftButton();
    harness::ReleaseLeftButton();
    EXPECT_TRUE(harness::WaitUntil([&] { Sync(); return dialog_->m_lastPress == CPoint(press); }, 3000));
}

// Last: ends the shared dialog.
TEST_F(ProbeDialogTest, FinishEndsTheModalRunWithItsResult) {
    harness::Click(Control(IDC_FINISH));
    INT_PTR result = 0;
    ASSERT_TRUE(thread_->Join(5000, &result));
    EXPECT_EQ(result, PROBE_FINISH_RESULT);
    EXPECT_FALSE(IsWindow(window_));
    EXPECT_EQ(dialog_->GetSafeHwnd(), nullptr) << "the object let go of its window";
}

}  // namespace
