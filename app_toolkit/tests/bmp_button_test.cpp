// The four-state bitmap button and its tooltips in a real dialog: what the
// screen shows is read back and compared with the bitmap files' colours.
#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <memory>

#include <gtest/gtest.h>

#include "app_toolkit/bmp_button.h"
#include "app_toolkit/tests/bitmap_files.h"
#include "app_toolkit/tests/buttons/button_ids.h"
#include "app_toolkit/wzd_tooltip_ctrl.h"
#include "dialog_framework/framework.h"
#include "testing/window_harness/window_harness.h"

namespace {

constexpr int kWidth = 48, kHeight = 26;

// Per state: the colours of the upper and lower half of its picture.
struct TwoTone { COLORREF top, bottom; };
constexpr TwoTone kSetA[4] = {{RGB(255, 0, 0), RGB(128, 0, 0)},      // mouse over
                              {RGB(0, 255, 0), RGB(0, 128, 0)},      // normal
                              {RGB(0, 0, 255), RGB(0, 0, 128)},      // pressed
                              {RGB(255, 255, 0), RGB(128, 128, 0)}}; // disabled
constexpr TwoTone kSetB[4] = {{RGB(255, 0, 255), RGB(128, 0, 128)},
                              {RGB(0, 255, 255), RGB(0, 128, 128)},
                              {RGB(255, 128, 0), RGB(128, 64, 0)},
                              {RGB(64, 64, 64), RGB(32, 32, 32)}};
const wchar_t* const kLetters[4] = {L"H", L"U", L"D", L"X"};

class CButtonsDlg : public CDialog {
public:
    CButtonsDlg(const CString& folder) : CDialog(IDD_BUTTONS), m_folder(folder) {
        for (UINT id : {IDC_HOVER, IDC_DOUBLE, IDC_MISSING, IDC_PARTIAL}) {
            MapCommand(id, BN_CLICKED, &CButtonsDlg::CountClick);
            MapCommand(id, BN_DOUBLECLICKED, &CButtonsDlg::CountDoubleClick);
        }
    }

    std::atomic<int> m_clicks[4] = {};
    std::atomic<int> m_doubleClicks{0};
    BOOL m_loaded[5] = {};
    CRect m_templateRects[4];
    BOOL m_unknownTool = TRUE;

protected:
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        CBmpButton* buttons[4] = {&m_hover, &m_double, &m_missing, &m_partial};
        for (int i = 0; i < 4; ++i) {
            BindControl(IDC_HOVER + i, *buttons[i]);
            buttons[i]->GetWindowRect(&m_templateRects[i]);
        }
        m_loaded[0] = Load(m_hover, L"A");
        m_loaded[1] = Load(m_double, L"A");
        m_loaded[2] = Load(m_missing, L"none");
        m_loaded[3] = Load(m_partial, L"A");
        m_loaded[4] = Load(m_partial, L"B");  // B has no disabled picture

        m_tips.Create(this);
        m_tips.AddButtonTool(IDC_HOVER, L"Hover tip");
        m_tips.AddButtonTool(IDC_DOUBLE, L"Double tip");
        m_tips.AddButtonTool(IDC_MISSING, L"");
        m_unknownTool = m_tips.AddButtonTool(4242, L"nobody");
        m_tips.Activate(TRUE);
        return TRUE;
    }

private:
    BOOL Load(CBmpButton& button, const wchar_t* set) {
        CString files[4];
        for (int s = 0; s < 4; ++s) files[s] = m_folder + L"\\" + set + kLetters[s] + L".BMP";
        return button.LoadBitmaps(files[0], files[1], files[2], files[3]);
    }
    void CountClick() {
        const UINT id = LOWORD(GetCurrentMessage().wParam);
        ++m_clicks[id - IDC_HOVER];
    }
    void CountDoubleClick() { ++m_doubleClicks; }

    CString m_folder;
    CBmpButton m_hover, m_double, m_missing, m_partial;
    CWzdToolTipCtrl m_tips;
};

class BmpButtonTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        wchar_t temp[MAX_PATH] = L"";
        GetTempPathW(MAX_PATH, temp);
        folder_.Format(L"%sbmp_button_test_%lu", temp, GetCurrentProcessId());
        CreateDirectoryW(folder_, nullptr);
        for (int s = 0; s < 4; ++s) {
            WriteTwoToneBitmap(folder_ + L"\\A" + kLetters[s] + L".BMP", kWidth, kHeight, kSetA[s].top, kSetA[s].bottom);
            if (s != 3)
                WriteTwoToneBitmap(folder_ + L"\\B" + kLetters[s] + L".BMP", kWidth, kHeight, kSetB[s].top, kSetB[s].bottom);
        }
        harness::MoveMouseTo(POINT{1200, 1000});  // nowhere near the dialog
        dialog_ = std::make_unique<CButtonsDlg>(folder_);
        thread_ = std::make_unique<harness::UiThread>([] {
            INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
            InitCommonControlsEx(&controls);
            return dialog_->DoModal();
        });
        window_ = harness::FindTopLevelWindow(L"Bitmap buttons", 5000, GetCurrentProcessId());
    }

    static void TearDownTestSuite() {
        if (IsWindow(window_)) PostMessageW(window_, WM_CLOSE, 0, 0);
        thread_->Join(5000);
        thread_.reset();
        dialog_.reset();
        for (const wchar_t* set : {L"A", L"B"})
            for (const wchar_t* letter : kLetters) DeleteFileW(folder_ + L"\\" + set + letter + L".BMP");
        RemoveDirectoryW(folder_);
    }

    void SetUp() override { ASSERT_NE(window_, nullptr) << "the test dialog did not appear"; }

    static HWND Button(int id) { return GetDlgItem(window_, id); }

    // True when the button's upper and lower halves show the picture.
    static bool ShowsNow(HWND button, const TwoTone& picture) {
        const harness::Screenshot shot = harness::CaptureWindow(button);
        return shot.Count(picture.top, RECT{0, 0, kWidth, kHeight / 2}) == kWidth * kHeight / 2 &&
               shot.Count(picture.bottom, RECT{0, kHeight / 2, kWidth, kHeight}) == kWidth * kHeight / 2;
    }
    // True once it does.
    static bool Shows(HWND button, const TwoTone& picture) {
        return harness::WaitUntil([&] { return ShowsNow(button, picture); }, 2000);
    }

    static CString folder_;
    static std::unique_ptr<CButtonsDlg> dialog_;
    static std::unique_ptr<harness::UiThread> thread_;
    static HWND window_;
};

CString BmpButtonTest::folder_;
std::unique_ptr<CButtonsDlg> BmpButtonTest::dialog_;
std::unique_ptr<harness::UiThread> BmpButtonTest::thread_;
HWND BmpButtonTest::window_ = nullptr;

CRect WindowRect(HWND hwnd) {
    CRect r;
    GetWindowRect(hwnd, &r);
    return r;
}

TEST_F(BmpButtonTest, ButtonsTakeTheMouseOverBitmapsSizeOnlyWhenAllFourLoad) {
    EXPECT_TRUE(dialog_->m_loaded[0]);
    EXPECT_FALSE(dialog_->m_loaded[2]);
    EXPECT_TRUE(dialog_->m_loaded[3]);
    EXPECT_FALSE(dialog_->m_loaded[4]);

    const CRect hover = WindowRect(Button(IDC_HOVER));
    EXPECT_EQ(hover.Size(), CSize(kWidth, kHeight));
    EXPECT_EQ(hover.TopLeft(), dialog_->m_templateRects[0].TopLeft()) << "resized in place";
    EXPECT_NE(dialog_->m_templateRects[0].Size(), CSize(kWidth, kHeight)) << "the template differs";

    EXPECT_EQ(WindowRect(Button(IDC_MISSING)), dialog_->m_templateRects[2]) << "missing files keep the template size";
    EXPECT_EQ(WindowRect(Button(IDC_PARTIAL)).Size(), CSize(kWidth, kHeight)) << "a failed reload resizes nothing";
    EXPECT_TRUE(GetWindowLongW(Button(IDC_HOVER), GWL_STYLE) & BS_OWNERDRAW);
}

TEST_F(BmpButtonTest, TheNormalPictureShowsUnscaledAtTheTopLeft) {
    EXPECT_TRUE(Shows(Button(IDC_HOVER), kSetA[1]));
    EXPECT_TRUE(Shows(Button(IDC_DOUBLE), kSetA[1]));
}

TEST_F(BmpButtonTest, TheMouseOverPictureComesAndGoesWithTheMouse) {
    HWND button = Button(IDC_HOVER);
    harness::MoveMouseOnto(button);
    EXPECT_TRUE(Shows(button, kSetA[0]));
    harness::MoveMouseOff(button);
    EXPECT_TRUE(Shows(button, kSetA[1]));
}

TEST_F(BmpButtonTest, APressShowsThePressedPictureUntilReleased) {
    HWND button = Button(IDC_HOVER);
    const int before = dialog_->m_clicks[0];
    harness::MoveMouseOnto(button);
    harness::PressLeftButton();
    EXPECT_TRUE(Shows(button, kSetA[2]));
    RECT r = WindowRect(button);
    harness::MoveMouseTo(POINT{r.left + 3, r.top + 3});  // moving inside keeps it pressed
    Sleep(100);
    EXPECT_TRUE(Shows(button, kSetA[2]));
    harness::ReleaseLeftButton();
    EXPECT_TRUE(harness::WaitUntil([&] { return dialog_->m_clicks[0] == before + 1; }, 2000));
    EXPECT_TRUE(harness::WaitUntil([&] { return !ShowsNow(button, kSetA[2]); }, 2000)) << "released";
    harness::MoveMouseOff(button);
    EXPECT_TRUE(Shows(button, kSetA[1]));
}

TEST_F(BmpButtonTest, DisablingShowsTheDisabledPictureAndEnablingTheNormalOne) {
    HWND button = Button(IDC_HOVER);
    EnableWindow(button, FALSE);
    EXPECT_TRUE(Shows(button, kSetA[3]));
    EnableWindow(button, TRUE);
    EXPECT_TRUE(Shows(button, kSetA[1]));
}

TEST_F(BmpButtonTest, ADoubleClickGivesTwoClickNotifications) {
    HWND button = Button(IDC_DOUBLE);
    const int before = dialog_->m_clicks[1];
    harness::DoubleClick(button);
    EXPECT_TRUE(harness::WaitUntil([&] { return dialog_->m_clicks[1] == before + 2; }, 2000))
        << dialog_->m_clicks[1] - before;
    EXPECT_EQ(dialog_->m_doubleClicks, 0);
    harness::MoveMouseOff(button);
}

TEST_F(BmpButtonTest, AButtonWithoutItsFilesDrawsNothing) {
    HWND button = Button(IDC_MISSING);
    harness::MoveMouseOnto(button);
    Sleep(100);
    const harness::Screenshot shot = harness::CaptureWindow(button);
    ASSERT_FALSE(shot.Empty());
    for (const TwoTone& picture : kSetA) {
        EXPECT_EQ(shot.Count(picture.top), 0);
        EXPECT_EQ(shot.Count(picture.bottom), 0);
    }
    harness::MoveMouseOff(button);
}

TEST_F(BmpButtonTest, AReloadReplacesOnlyThePicturesThatLoaded) {
    HWND button = Button(IDC_PARTIAL);
    EXPECT_TRUE(Shows(button, kSetB[1]));
    harness::MoveMouseOnto(button);
    EXPECT_TRUE(Shows(button, kSetB[0]));
    harness::MoveMouseOff(button);
    EnableWindow(button, FALSE);
    EXPECT_TRUE(Shows(button, kSetA[3])) << "set B has no disabled picture; A's stays";
    EnableWindow(button, TRUE);
}

TEST_F(BmpButtonTest, TooltipsCarryTheirTextsAndShowThemOverTheButtons) {
    EXPECT_FALSE(dialog_->m_unknownTool);
    HWND tooltip = nullptr;
    harness::MoveMouseOnto(Button(IDC_DOUBLE));
    // The tooltip shows after the system's delay, with the button's text.
    EXPECT_TRUE(harness::WaitUntil([&] {
        tooltip = FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr);
        while (tooltip && !(IsWindowVisible(tooltip) && harness::ReadText(tooltip) == L"Double tip"))
            tooltip = FindWindowExW(nullptr, tooltip, TOOLTIPS_CLASSW, nullptr);
        return tooltip != nullptr;
    }, 4000));
    ASSERT_NE(tooltip, nullptr);
    EXPECT_EQ(GetWindow(tooltip, GW_OWNER), window_);
    EXPECT_EQ(SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0), 3);

    CToolTipCtrl query;
    query.Attach(tooltip);
    EXPECT_EQ(query.GetToolText(window_, reinterpret_cast<UINT_PTR>(Button(IDC_HOVER))), L"Hover tip");
    EXPECT_EQ(query.GetToolText(window_, reinterpret_cast<UINT_PTR>(Button(IDC_DOUBLE))), L"Double tip");
    EXPECT_EQ(query.GetToolText(window_, reinterpret_cast<UINT_PTR>(Button(IDC_MISSING))), L"");
    query.Detach();
    harness::MoveMouseOff(Button(IDC_DOUBLE));
}

}  // namespace
