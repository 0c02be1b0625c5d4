// How messages reach CWnd objects: subclassed controls, chains with other
// subclassers, windows of the framework's own class made by CreateEx.
#include <windows.h>

#include <gtest/gtest.h>

#include "dialog_framework/framework.h"
#include "testing/window_harness/window_harness.h"

namespace {

// Counts WM_SETTEXT and otherwise leaves the control alone.
class CTextWatcher : public CWnd {
public:
    CTextWatcher() { MapMessage(WM_SETTEXT, &CTextWatcher::OnSetText); }
    int m_texts = 0;
    bool m_preSubclassed = false;

protected:
    void PreSubclassWindow() override { m_preSubclassed = m_hWnd != nullptr; }

private:
    LRESULT OnSetText(WPARAM, LPARAM) {
        ++m_texts;
        return Default();
    }
};

HWND HiddenButton() {
    return CreateWindowExW(0, L"BUTTON", L"start", WS_POPUP | BS_PUSHBUTTON, 0, 0, 50, 20, nullptr, nullptr, nullptr,
                           nullptr);
}

std::wstring TextOf(HWND hwnd) {
    wchar_t text[64] = L"";
    GetWindowTextW(hwnd, text, 64);
    return text;
}

TEST(WindowRouting, ASubclassedControlSeesMessagesFirstAndPassesThemOn) {
    HWND button = HiddenButton();
    const LONG_PTR original = GetWindowLongPtrW(button, GWLP_WNDPROC);
    {
        CTextWatcher watcher;
        ASSERT_TRUE(watcher.SubclassWindow(button));
        EXPECT_TRUE(watcher.m_preSubclassed);
        EXPECT_EQ(CWnd::FromHandlePermanent(button), &watcher);
        EXPECT_FALSE(CTextWatcher().SubclassWindow(button)) << "one object per window";
        SetWindowTextW(button, L"one");
        EXPECT_EQ(watcher.m_texts, 1);
        EXPECT_EQ(TextOf(button), L"one");
        EXPECT_EQ(watcher.UnsubclassWindow(), button);
        SetWindowTextW(button, L"two");
        EXPECT_EQ(watcher.m_texts, 1);
        ASSERT_TRUE(watcher.SubclassWindow(button));
    }  // the object goes first: the control gets its own procedure back
    EXPECT_EQ(GetWindowLongPtrW(button, GWLP_WNDPROC), original);
    EXPECT_EQ(CWnd::FromHandlePermanent(button), nullptr);
    SetWindowTextW(button, L"three");
    EXPECT_EQ(TextOf(button), L"three");
    DestroyWindow(button);
}

WNDPROC g_below = nullptr;
int g_outerTexts = 0;
LRESULT CALLBACK OuterSubclass(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_SETTEXT) ++g_outerTexts;
    return CallWindowProcW(g_below, hwnd, message, w, l);
}

TEST(WindowRouting, LettingGoUnderAnotherSubclassKeepsTheChainWhole) {
    HWND button = HiddenButton();
    auto watcher = std::make_unique<CTextWatcher>();
    ASSERT_TRUE(watcher->SubclassWindow(button));
    g_below = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OuterSubclass)));
    watcher.reset();
    SetWindowTextW(button, L"still works");
    EXPECT_EQ(g_outerTexts, 1);
    EXPECT_EQ(TextOf(button), L"still works");
    CTextWatcher again;
    ASSERT_TRUE(again.SubclassWindow(button));
    SetWindowTextW(button, L"watched again");
    EXPECT_EQ(again.m_texts, 1);
    EXPECT_EQ(g_outerTexts, 2);
    DestroyWindow(button);
    EXPECT_EQ(again.GetSafeHwnd(), nullptr) << "WM_NCDESTROY let go of the window";
}

// A shaped popup of the framework's own class, like an on-screen message.
class CPlate : public CWnd {
public:
    bool m_created = false;
    int m_paints = 0;
    bool m_destroyedAfterNcDestroy = false;

protected:
    int OnCreate(CREATESTRUCTW* create) override {
        m_created = create->cx == 80;
        return CWnd::OnCreate(create);
    }
    void OnPaint() override {
        CPaintDC dc(m_hWnd);
        CRect client;
        GetClientRect(&client);
        dc.FillSolidRect(client, RGB(0, 255, 0));
        ++m_paints;
    }
    BOOL OnEraseBkgnd(HDC) override { return TRUE; }
    void OnTimer(UINT_PTR id) override {
        if (id != 1) return CWnd::OnTimer(id);
        KillTimer(1);
        ShowWindow(SW_HIDE);
    }
    void PostNcDestroy() override { m_destroyedAfterNcDestroy = m_hWnd == nullptr; }
};

TEST(WindowRouting, CreateExMakesAWindowOfTheFrameworksClassThatPaintsItself) {
    CPlate plate;
    ASSERT_TRUE(plate.CreateEx(WS_EX_TOPMOST, nullptr, L"", WS_POPUP | WS_VISIBLE, 300, 300, 80, 40, nullptr));
    EXPECT_TRUE(plate.m_created);
    CRgn shape;
    shape.CreateRectRgn(0, 0, 40, 40);  // only the left half stays
    plate.SetWindowRgn(shape, TRUE);
    plate.UpdateWindow();
    EXPECT_TRUE(harness::WaitUntil([&] {
        const harness::Screenshot shot = harness::CaptureWindow(plate);
        return shot.Count(RGB(0, 255, 0), RECT{0, 0, 40, 40}) == 1600 &&
               shot.Count(RGB(0, 255, 0), RECT{40, 0, 80, 40}) == 0;
    }, 2000));
    EXPECT_GE(plate.m_paints, 1);

    plate.SetTimer(1, 50);
    EXPECT_TRUE(harness::WaitUntil([&] { return !plate.IsWindowVisible(); }, 2000)) << "hidden by its timer";
    HWND hwnd = plate;
    EXPECT_TRUE(plate.DestroyWindow());
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_TRUE(plate.m_destroyedAfterNcDestroy);
}

TEST(WindowRouting, AnObjectMadeWindowGoesWithTheObject) {
    HWND hwnd = nullptr;
    {
        CPlate plate;
        ASSERT_TRUE(plate.CreateEx(0, nullptr, L"", WS_POPUP, 0, 0, 80, 10, nullptr));
        hwnd = plate;
        CWindow wrapper;
        wrapper = plate;
        EXPECT_EQ(wrapper.GetSafeHwnd(), hwnd);
    }
    EXPECT_FALSE(IsWindow(hwnd));
}

}  // namespace
