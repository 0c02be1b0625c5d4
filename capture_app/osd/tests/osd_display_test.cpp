// Status displays over a stand-in owner window: where they appear, the shape
// their text gives them, when they go, and how they follow the owner.
#include <windows.h>

#include <algorithm>

#include <gtest/gtest.h>

#include "capture_app/osd/glyph_mask_region.h"
#include "capture_app/osd/osd.h"
#include "capture_app/osd/status_displays.h"
#include "capture_app/osd/tests/osd_test_window.h"
#include "dialog_framework/device_context.h"
#include "testing/window_harness/window_harness.h"

namespace {

constexpr COLORREF kGreen = RGB(0, 255, 0);

CRect ClientOnScreen(HWND window) {
    CRect r;
    ::GetClientRect(window, &r);
    ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

CRect WindowRect(HWND window) {
    CRect r;
    ::GetWindowRect(window, &r);
    return r;
}

// How many pixels of area lie inside the window's region.
int RegionPixels(HWND window, const CRect& area) {
    CRgn region;
    region.CreateRectRgn(0, 0, 0, 0);
    if (::GetWindowRgn(window, region) == ERROR) return -1;
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) count += ::PtInRegion(region, x, y) ? 1 : 0;
    return count;
}

CRect RegionBox(HWND window) {
    CRgn region;
    region.CreateRectRgn(0, 0, 0, 0);
    CRect box;
    if (::GetWindowRgn(window, region) != ERROR) region.GetRgnBox(&box);
    return box;
}

// One owner for the whole suite: taking a visible top-level window down costs
// Wine about two seconds without a window manager.
class OsdDisplayTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_owner = new COsdTestOwner;
        s_owner->Create(120, 60, 640, 410);
    }
    static void TearDownTestSuite() {
        delete s_owner;
        s_owner = nullptr;
    }

    void SetUp() override {
        ASSERT_TRUE(m_owner.GetSafeHwnd());
        m_owner.ShowWindow(SW_RESTORE);
        m_owner.SetWindowPos(nullptr, 120, 60, 640, 410, SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        ASSERT_TRUE(m_display.Create(m_owner));
        StyleStatusDisplay(m_display);
        m_display.SetMargins(20, 80, 10, 10);
        m_owner.Follow(&m_display);
        ::SetForegroundWindow(m_owner);
        PumpFor(50);
    }
    void TearDown() override { m_owner.Forget(&m_display); }

    static COsdTestOwner* s_owner;
    COsdTestOwner& m_owner = *s_owner;
    COsd m_display;
};

COsdTestOwner* OsdDisplayTest::s_owner = nullptr;

TEST_F(OsdDisplayTest, AppearsOverTheOwnerAsAPlateWithTheLettersCutOut) {
    m_display.ShowOsdText(L"Snap 0123");
    ASSERT_TRUE(harness::WaitUntil([&] { return m_display.IsWindowVisible() != FALSE; }, 1000));
    EXPECT_EQ(ClientOnScreen(m_owner), WindowRect(m_display));
    EXPECT_STREQ(L"Snap 0123", m_display.GetWindowText().GetString());
    EXPECT_EQ(::GetWindow(m_display, GW_OWNER), m_owner.GetSafeHwnd());
    EXPECT_EQ(m_owner.GetSafeHwnd(), ::GetForegroundWindow()) << "the display took the activation";

    // 410 pixels high: a 20-pixel font, placed at the margins.
    const CRect box = m_display.GetTextBox();
    EXPECT_GE(box.left, 20);
    EXPECT_LT(box.left, 30);
    EXPECT_GE(box.top, 80);
    EXPECT_LT(box.top, 90);
    EXPECT_GE(box.Height(), 10);
    EXPECT_LE(box.Height(), 22);
    EXPECT_GT(box.Width(), 4 * box.Height());
    EXPECT_EQ(box, RegionBox(m_display));

    // The letters are holes in the plate: a fair part of the box, not all of it.
    const int area = box.Width() * box.Height();
    const int plate = RegionPixels(m_display, box);
    EXPECT_GT(plate, area / 3);
    EXPECT_LT(plate, area * 9 / 10);
    CRect client;
    m_owner.GetClientRect(&client);
    EXPECT_EQ(plate, RegionPixels(m_display, client)) << "the region reaches outside the text's box";

    // On screen: green where the plate is, the owner's picture through the letters and around.
    harness::Screenshot shot;
    ASSERT_TRUE(harness::WaitUntil([&] {
        shot = harness::CaptureWindow(m_owner);
        return shot.Count(kGreen, box) >= plate * 9 / 10;
    }, 2000)) << shot.Count(kGreen, box) << " green of " << plate;
    EXPECT_GT(shot.Count(COsdTestOwner::kPicture, box), area / 10);
    EXPECT_EQ(shot.Count(kGreen), shot.Count(kGreen, box));
}

TEST_F(OsdDisplayTest, HidesAfterItsTimeAndEachShowingRestartsTheTime) {
    m_display.SetDisplayTime(600);
    const DWORD start = ::GetTickCount();
    m_display.ShowOsdText(L"Snap");
    PumpFor(400);
    ASSERT_TRUE(m_display.IsWindowVisible());
    m_display.ShowOsdText(L"Snap");
    const DWORD again = ::GetTickCount();
    PumpFor(400);
    EXPECT_TRUE(m_display.IsWindowVisible()) << "hidden by the first showing's time";
    ASSERT_TRUE(harness::WaitUntil([&] { return !m_display.IsWindowVisible(); }, 2000));
    const DWORD shown = ::GetTickCount() - again;
    EXPECT_GE(shown, 550u);
    EXPECT_LT(shown, 1500u);
    EXPECT_GE(::GetTickCount() - start, 950u);
    // Gone from the screen too, not just marked hidden.
    EXPECT_TRUE(harness::WaitUntil([&] { return harness::CaptureWindow(m_owner).Count(kGreen) == 0; }, 1000));
}

TEST_F(OsdDisplayTest, ADisplayTimeOfZeroKeepsItUp) {
    m_display.SetDisplayTime(0);
    m_display.ShowOsdText(L"Recording");
    PumpFor(800);
    EXPECT_TRUE(m_display.IsWindowVisible());
}

TEST_F(OsdDisplayTest, FollowsTheOwnersMovesWithoutANewLayout) {
    m_display.SetDisplayTime(0);
    m_display.ShowOsdText(L"Recording");
    const CRect box = m_display.GetTextBox();
    const CRect before = WindowRect(m_display);
    m_owner.SetWindowPos(nullptr, 200, 130, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    PumpFor(50);
    const CRect after = WindowRect(m_display);
    EXPECT_EQ(ClientOnScreen(m_owner), after);
    EXPECT_EQ(80, after.left - before.left);
    EXPECT_EQ(70, after.top - before.top);
    EXPECT_EQ(box, m_display.GetTextBox());
    EXPECT_EQ(box, RegionBox(m_display));
}

TEST_F(OsdDisplayTest, ResizingTheOwnerRefitsAVisibleTextOnly) {
    m_display.SetDisplayTime(0);
    m_display.ShowOsdText(L"Snap");
    const CRect small = m_display.GetTextBox();
    m_owner.SetWindowPos(nullptr, 0, 0, 900, 1000, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    PumpFor(50);
    const CRect large = m_display.GetTextBox();
    EXPECT_EQ(ClientOnScreen(m_owner), WindowRect(m_display));
    // 1000 pixels high: the font is capped at 50 pixels, two and a half times the first.
    EXPECT_GT(large.Height(), 2 * small.Height());
    EXPECT_LE(large.Height(), 52);
    EXPECT_EQ(large, RegionBox(m_display));

    m_display.ShowWindow(SW_HIDE);
    m_owner.SetWindowPos(nullptr, 0, 0, 640, 410, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    PumpFor(50);
    EXPECT_EQ(large, m_display.GetTextBox()) << "a hidden display was laid out";
}

TEST_F(OsdDisplayTest, AnEmptyTextKeepsThePreviousShape) {
    m_display.ShowOsdText(L"Snap");
    const CRect box = m_display.GetTextBox();
    m_display.ShowWindow(SW_HIDE);
    m_display.ShowOsdText(L"");
    EXPECT_TRUE(m_display.IsWindowVisible());
    EXPECT_EQ(box, m_display.GetTextBox());
    EXPECT_EQ(box, RegionBox(m_display));

    // Laid out with no text at all (the owner resized), it shows nothing.
    m_owner.SetWindowPos(nullptr, 0, 0, 700, 450, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    PumpFor(50);
    CRect client;
    m_owner.GetClientRect(&client);
    EXPECT_EQ(0, RegionPixels(m_display, client));
}

TEST_F(OsdDisplayTest, AFreshDisplayShowsNothingUntilItHasAText) {
    COsd fresh;
    ASSERT_TRUE(fresh.Create(m_owner));
    fresh.ShowOsdText(L"");
    CRect client;
    m_owner.GetClientRect(&client);
    EXPECT_EQ(0, RegionPixels(fresh, client));
    EXPECT_TRUE(fresh.GetTextBox().IsRectEmpty());
}

TEST_F(OsdDisplayTest, AMinimisedOwnerTakesTheDisplayAway) {
    m_display.SetDisplayTime(0);
    m_display.ShowOsdText(L"Recording");
    m_owner.ShowWindow(SW_MINIMIZE);
    PumpFor(100);
    EXPECT_FALSE(m_display.IsWindowVisible());
    m_display.ShowOsdText(L"Recording");
    PumpFor(50);
    EXPECT_FALSE(m_display.IsWindowVisible()) << "shown while the owner is minimised";
    m_owner.ShowWindow(SW_RESTORE);
    m_display.ShowOsdText(L"Recording");
    EXPECT_TRUE(m_display.IsWindowVisible());
    EXPECT_EQ(ClientOnScreen(m_owner), WindowRect(m_display));
}

TEST_F(OsdDisplayTest, StatusDisplaysAreCreatedOverTheOwnerWithTheProgramsLook) {
    COsd a, b, c;
    COsdArray displays;
    displays.Add(&a);
    displays.Add(&b);
    displays.Add(&c);
    ASSERT_TRUE(SetUpStatusDisplays(displays, m_owner));
    for (COsd* display : {&a, &b, &c}) {
        ASSERT_TRUE(display->GetSafeHwnd());
        EXPECT_EQ(m_owner.GetSafeHwnd(), display->GetOsdOwner());
        EXPECT_FALSE(display->IsWindowVisible());
        EXPECT_EQ(kGreen, display->GetPlateColour());
        EXPECT_EQ(1000, display->GetDisplayTime());
        EXPECT_EQ(5, display->GetMinFontHeight());
        EXPECT_EQ(50, display->GetMaxFontHeight());
        EXPECT_EQ(5, display->GetFontHeightPercent());
        EXPECT_EQ(134, display->GetTextFont().lfCharSet);
        EXPECT_STREQ(L"\u9ed1\u4f53", display->GetTextFont().lfFaceName);
        EXPECT_EQ(CRect(20, 80, 10, 10), display->GetMargins());
    }

    // Set up while the owner is not on screen yet, the text sits higher.
    COsdTestOwner hiddenOwner;
    ASSERT_TRUE(hiddenOwner.Create(100, 100, 500, 400, false));
    COsd d;
    COsdArray hidden;
    hidden.Add(&d);
    ASSERT_TRUE(SetUpStatusDisplays(hidden, hiddenOwner));
    EXPECT_EQ(CRect(20, 40, 10, 10), d.GetMargins());
}

// Fonts without outlines put nothing into a path; the plate then comes from
// the drawn pixels: exactly the box of the ink with the ink left out.
TEST(GlyphMaskPlate, LeavesOutExactlyTheDrawnPixels) {
    CClientDC screen(nullptr);
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(screen));
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateCompatibleBitmap(screen, 200, 60));
    const HGDIOBJ oldBitmap = dc.SelectObject(bitmap);
    const HGDIOBJ oldFont = dc.SelectStockObject(SYSTEM_FONT);

    const CRect textRect(10, 12, 200, 60);
    CRgn plate;
    CRect box;
    ASSERT_TRUE(GlyphMaskPlate(dc, L"Rec 42", textRect, 0, plate, box));

    // The same text drawn visibly, to compare pixel by pixel.
    dc.FillSolidRect(CRect(0, 0, 200, 60), RGB(0, 0, 0));
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(RGB(255, 255, 255));
    CRect drawRect = textRect;
    dc.DrawText(L"Rec 42", -1, &drawRect, 0);
    CRect ink(200, 60, 0, 0);
    int mismatches = 0;
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 200; ++x) {
            const bool lit = (::GetPixel(dc, x, y) & 0xFFFFFF) != 0;
            if (lit) {
                ink.left = std::min<LONG>(ink.left, x);
                ink.top = std::min<LONG>(ink.top, y);
                ink.right = std::max<LONG>(ink.right, x + 1);
                ink.bottom = std::max<LONG>(ink.bottom, y + 1);
            }
            const bool expected = !lit && box.PtInRect(CPoint(x, y));
            mismatches += expected != (::PtInRegion(plate, x, y) != FALSE);
        }
    }
    EXPECT_EQ(ink, box);
    EXPECT_EQ(0, mismatches);
    EXPECT_GE(box.left, 10);
    EXPECT_GE(box.top, 12);
    dc.SelectObject(oldFont);
    dc.SelectObject(oldBitmap);

    CRgn none;
    CRect nothing;
    EXPECT_FALSE(GlyphMaskPlate(screen, L"   ", textRect, 0, none, nothing));
}

}  // namespace
