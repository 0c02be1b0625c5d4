// Orvane's panel under Wine on the test camera: hiding and showing through
// the Close button and the tray icon's messages, the tray menu, the skins,
// the size limits, the own scroll bar with the effect panel, and config.ini
// and the tray icon after WM_CLOSE.
#include <gtest/gtest.h>

#include "webcam_app/resource.h"
#include "webcam_app/tests/orvane_install.h"

namespace {

using namespace orvane_test;
using harness::WaitUntil;

constexpr wchar_t kCamera[] = L"Talvoro Test Camera";
// BaseSkin's scroll-bar colours: the empty track and the filled part above the thumb.
constexpr COLORREF kGroove = RGB(12, 28, 52);
constexpr COLORREF kFilled = RGB(120, 190, 255);

RECT ClientRect(HWND window) {
    RECT c{};
    GetClientRect(window, &c);
    return c;
}

struct MenuSearch {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindProcessMenu(HWND w, LPARAM p) {
    auto* s = reinterpret_cast<MenuSearch*>(p);
    wchar_t cls[16] = L"";
    GetClassNameW(w, cls, 16);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid == s->pid && lstrcmpW(cls, L"#32768") == 0 && IsWindowVisible(w)) {
        s->found = w;
        return FALSE;
    }
    return TRUE;
}

// The popup menu window of a process while a menu is tracked.
HWND FindMenuWindow(DWORD processId) {
    MenuSearch search{processId, nullptr};
    EnumWindows(FindProcessMenu, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Text pixels of the tray menu's first and last item, in the menu text
// colour and in the grey of disabled items.
struct TrayMenuLook {
    int blackFirst = 0, greyFirst = 0, blackLast = 0;
};

TrayMenuLook LookAtTrayMenu(OrvaneInstall& orvane) {
    TrayMenuLook look;
    PostMessageW(orvane.Window(), WM_TRAY_NOTIFY, IDR_MAINFRAME, WM_RBUTTONDOWN);
    HWND menu = nullptr;
    if (!WaitUntil([&] { return (menu = FindMenuWindow(orvane.Process().Id())) != nullptr; }, 5000)) return look;
    // Drawn once most of it shows the menu's background.
    const COLORREF background = GetSysColor(COLOR_MENU), text = GetSysColor(COLOR_MENUTEXT);
    harness::Screenshot shot;
    WaitUntil([&] {
        shot = harness::CaptureWindow(menu);
        return !shot.Empty() && shot.Count(background) > shot.Width() * shot.Height() / 2;
    }, 3000);
    const int band = shot.Height() / 4;  // four items, no separators
    const RECT first{2, 2, shot.Width() - 2, band}, last{2, 3 * band, shot.Width() - 2, shot.Height() - 2};
    look.blackFirst = shot.Count(text, first);
    // Disabled text: any colour but the background's and the text's.
    const int area = (first.right - first.left) * (first.bottom - first.top);
    look.greyFirst = area - shot.Count(background, first) - look.blackFirst;
    look.blackLast = shot.Count(text, last);
    Send(orvane.Window(), WM_CANCELMODE);
    WaitUntil([&] { return FindMenuWindow(orvane.Process().Id()) == nullptr; }, 5000);
    return look;
}

TEST(OrvanePanel, HidesShowsOffersTheTrayMenuAndWritesOnlyTheSkinAtClose) {
    OrvaneInstall orvane(L"orvane-panel");
    orvane.WriteConfig("[path]\r\nrespathtype=0\r\n[other]\r\nkey=kept?\r\n");
    ASSERT_TRUE(orvane.Start(kCamera));
    HWND panel = orvane.Window();

    // Close only hides; the tray icon's left click shows it again.
    orvane.Click(IDC_BTN_CLOSE);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(panel); }, 5000));
    PostMessageW(panel, WM_TRAY_NOTIFY, IDR_MAINFRAME, WM_LBUTTONDOWN);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(panel) != FALSE; }, 5000));

    // The capture application's popup message toggles it the same way.
    PostMessageW(panel, WM_PEER_POPUP, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(panel); }, 5000));
    PostMessageW(panel, WM_PEER_POPUP, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(panel) != FALSE; }, 5000));

    // Right click: the menu, with "显示" greyed while the panel is visible
    // and enabled while it is hidden (read from the menu's drawing: menus
    // of another process cannot be asked).
    const TrayMenuLook visible = LookAtTrayMenu(orvane);
    EXPECT_GT(visible.greyFirst, 0) << "显示 is not greyed while the panel is visible";
    EXPECT_EQ(visible.blackFirst, 0);
    EXPECT_GT(visible.blackLast, 0) << "退出 is not enabled";
    orvane.Click(IDC_BTN_CLOSE);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(panel); }, 5000));
    const TrayMenuLook hidden = LookAtTrayMenu(orvane);
    EXPECT_GT(hidden.blackFirst, 0) << "显示 is greyed while the panel is hidden";

    // Shown again, the top-most toggle.
    PostMessageW(panel, WM_TRAY_NOTIFY, IDR_MAINFRAME, WM_LBUTTONDOWN);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(panel) != FALSE; }, 5000));
    ASSERT_TRUE(orvane.WaitForLayout());
    auto topMost = [&] { return (GetWindowLongW(panel, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; };
    EXPECT_FALSE(topMost());
    orvane.Click(IDC_BTN_TOPMOST);
    EXPECT_TRUE(WaitUntil(topMost, 5000));
    orvane.Click(IDC_BTN_TOPMOST);
    EXPECT_TRUE(WaitUntil([&] { return !topMost(); }, 5000));

    // WM_CLOSE: the program ends, its icon leaves the notification area
    // and config.ini holds the one key only. Without a desktop panel (Xvfb)
    // Wine shows the icons in a tray window of its own, only while it holds one.
    HWND tray = FindWindowW(L"__winex11_standalone_tray", nullptr);
    ASSERT_NE(tray, nullptr);
    EXPECT_TRUE(IsWindowVisible(tray)) << "no icon in the notification area";
    ASSERT_TRUE(orvane.Close());
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(tray); }, 5000)) << "the icon stayed";
    EXPECT_EQ(orvane.ReadConfig(), "[path]\r\nrespathtype=0\r\n");
}

TEST(OrvanePanel, SkinButtonCyclesThreeSkinsKeepsItsSizeAndTheLastSkinIsStored) {
    OrvaneInstall orvane(L"orvane-skins");
    ASSERT_TRUE(orvane.Start(kCamera));
    HWND panel = orvane.Window();

    RECT window{};
    GetWindowRect(panel, &window);
    EXPECT_EQ(window.right - window.left, 190);
    EXPECT_GE(window.bottom - window.top, 282);
    // Asked for any other width or a smaller height, it keeps its limits.
    SetWindowPos(panel, nullptr, 0, 0, 300, 100, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    GetWindowRect(panel, &window);
    EXPECT_EQ(window.right - window.left, 190);
    EXPECT_EQ(window.bottom - window.top, 282);
    SetWindowPos(panel, nullptr, 0, 0, 190, 640, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(orvane.WaitForLayout());

    // A pixel of the title band, clear of the buttons and the pattern.
    auto title = [&] { return ClientPixel(panel, 160, 30); };
    COLORREF seen[4] = {};
    ASSERT_TRUE(WaitUntil([&] { return (seen[0] = title()) != CLR_INVALID && seen[0] != 0; }, 5000));
    for (int press = 1; press <= 3; ++press) {
        orvane.Click(IDC_BTN_SKIN);
        const COLORREF before = seen[press - 1];
        ASSERT_TRUE(WaitUntil([&] { return (seen[press] = title()) != before; }, 5000)) << "press " << press;
    }
    EXPECT_NE(seen[1], seen[2]);
    EXPECT_NE(seen[2], seen[0]);
    EXPECT_EQ(seen[3], seen[0]);
    orvane.Click(IDC_BTN_SKIN);
    ASSERT_TRUE(WaitUntil([&] { return title() == seen[1]; }, 5000));
    ASSERT_TRUE(orvane.Close());
    EXPECT_EQ(orvane.ReadConfig(), "[path]\r\nrespathtype=1\r\n");
}

TEST(OrvanePanel, ThumbFollowsTheTrackPressAndTheWheelAndPlacesTheEffectPanel) {
    OrvaneInstall orvane(L"orvane-scroll");
    ASSERT_TRUE(orvane.Start(kCamera));
    HWND panel = orvane.Window();
    const RECT client = ClientRect(panel);
    const int w = client.right, h = client.bottom, x = w - 9, trackBottom = h - 77;

    // On the effect tab at 0 % the effect panel's top is the list area's top.
    orvane.Click(IDC_TAB_EFFECT);
    HWND mosaic = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (mosaic = orvane.Control(IDC_EFFECT_MOSAIC)) && IsWindowVisible(mosaic); },
                          5000));
    HWND effects = GetParent(mosaic);
    auto effectsRect = [&] {
        RECT r{};
        GetWindowRect(effects, &r);
        MapWindowPoints(nullptr, panel, reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    EXPECT_EQ(effectsRect().top, 41);
    ASSERT_LT(effectsRect().bottom - effectsRect().top, h - 118) << "the effect panel is taller than the list area";

    // Pressed far below the track's end, the thumb stops 16 pixels above it;
    // the effect panel, shorter than the list area, then sits on its bottom.
    POINT press{x, trackBottom - 2};
    ClientToScreen(panel, &press);
    harness::MoveMouseTo(press);
    harness::PressLeftButton();
    harness::ReleaseLeftButton();
    const int thumbY = trackBottom - 16;
    COLORREF thumb = CLR_INVALID;
    EXPECT_TRUE(WaitUntil([&] {
        thumb = ClientPixel(panel, x, thumbY + 8);
        return ClientPixel(panel, x, 45) == kFilled && ClientPixel(panel, x, thumbY - 2) == kFilled &&
               thumb != kFilled && thumb != kGroove;
    }, 5000)) << "no thumb at the track's end; thumb row shows " << std::hex << thumb;
    EXPECT_TRUE(WaitUntil([&] { return effectsRect().bottom == h - 77; }, 5000)) << effectsRect().bottom;

    // A wheel turn up moves it 3 pixels: its old last rows become empty track.
    harness::MoveMouseOnto(panel);
    POINT centre{w / 2, h / 2};
    ClientToScreen(panel, &centre);
    PostMessageW(panel, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(centre.x, centre.y));
    ASSERT_TRUE(WaitUntil([&] { return ClientPixel(panel, x, thumbY + 15) == kGroove; }, 5000));
    EXPECT_NE(ClientPixel(panel, x, thumbY + 11), kGroove);
    EXPECT_EQ(ClientPixel(panel, x, thumbY - 5), kFilled);
    EXPECT_TRUE(orvane.Close());
}

TEST(OrvanePanel, AStoredSkinOutsideTheThreeDrawsTheFirstAndCountsOnFromIt) {
    OrvaneInstall first(L"orvane-skin0");
    ASSERT_TRUE(first.Start(kCamera));
    COLORREF baseSkin = CLR_INVALID;
    ASSERT_TRUE(WaitUntil([&] { return (baseSkin = ClientPixel(first.Window(), 160, 30)) != CLR_INVALID; }, 5000));
    ASSERT_TRUE(first.Close());

    OrvaneInstall orvane(L"orvane-skin-stray");
    orvane.WriteConfig("[path]\r\nrespathtype=-1\r\n");
    ASSERT_TRUE(orvane.Start(kCamera));
    HWND panel = orvane.Window();
    auto title = [&] { return ClientPixel(panel, 160, 30); };
    EXPECT_TRUE(WaitUntil([&] { return title() == baseSkin; }, 5000)) << "skin -1 is not drawn as the first skin";
    orvane.Click(IDC_BTN_SKIN);  // (-1 + 1) % 3 = 0
    Sleep(500);
    EXPECT_EQ(title(), baseSkin);
    orvane.Click(IDC_BTN_SKIN);
    EXPECT_TRUE(WaitUntil([&] { return title() != baseSkin; }, 5000));
    ASSERT_TRUE(orvane.Close());
    EXPECT_EQ(orvane.ReadConfig(), "[path]\r\nrespathtype=1\r\n");
}

// Run with a Chinese ANSI code page (LC_ALL=zh_CN.GBK): the Chinese texts
// file, installed as Resource.ini, gives the effect panel its captions.
TEST(GbkCodePage, TheChineseTextsFileCaptionsTheEffects) {
    ASSERT_EQ(GetACP(), 936u) << "run under LC_ALL=zh_CN.GBK";
    OrvaneInstall orvane(L"orvane-gbk");
    ASSERT_TRUE(CopyFileW((orvane.Folder() + L"\\Resource.zh-CN.ini").c_str(),
                          (orvane.Folder() + L"\\Resource.ini").c_str(), FALSE));
    ASSERT_TRUE(orvane.Start(kCamera));
    orvane.Click(IDC_TAB_EFFECT);
    HWND mosaic = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (mosaic = orvane.Control(IDC_EFFECT_MOSAIC)) && IsWindowVisible(mosaic); },
                          5000));
    EXPECT_EQ(harness::ReadText(mosaic), L"马赛克");
    EXPECT_EQ(harness::ReadText(orvane.Control(IDC_EFFECT_ROTATEZ)), L"绕Z轴旋转");
    EXPECT_TRUE(orvane.Close());
}

}  // namespace

