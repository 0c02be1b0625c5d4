// GDI helpers: owned objects, memory DCs, regions and window regions.
#include <windows.h>

#include <gtest/gtest.h>

#include "dialog_framework/framework.h"
#include "platform/dialog_framework/tests/probe/probe_ids.h"

namespace {

TEST(GdiObjects, MemoryDrawingIsReadBackFromTheBitmap) {
    CClientDC screen(nullptr);
    CDC memory;
    ASSERT_TRUE(memory.CreateCompatibleDC(screen));
    CBitmap canvas;
    ASSERT_TRUE(canvas.CreateCompatibleBitmap(screen, 20, 10));
    EXPECT_EQ(canvas.GetSize(), CSize(20, 10));
    HGDIOBJ old = memory.SelectObject(canvas);
    memory.FillSolidRect(CRect(0, 0, 20, 10), RGB(1, 2, 3));
    CPen pen;
    ASSERT_TRUE(pen.CreatePen(PS_SOLID, 2, RGB(255, 200, 200)));
    HGDIOBJ oldPen = memory.SelectObject(pen);
    memory.SelectStockObject(NULL_BRUSH);
    memory.Rectangle(2, 2, 18, 8);
    memory.SelectObject(oldPen);
    EXPECT_EQ(GetPixel(memory, 0, 0), RGB(1, 2, 3));
    EXPECT_EQ(GetPixel(memory, 2, 2), RGB(255, 200, 200));
    EXPECT_EQ(GetPixel(memory, 10, 5), RGB(1, 2, 3)) << "hollow";
    memory.SelectObject(old);
}

TEST(GdiObjects, AFailedLoadKeepsTheBitmapHeldBefore) {
    CBitmap bitmap;
    EXPECT_FALSE(bitmap.LoadFromFile(L"C:\\no\\such.bmp"));
    EXPECT_EQ(bitmap.GetSafeHandle(), nullptr);
    CClientDC screen(nullptr);
    ASSERT_TRUE(bitmap.CreateCompatibleBitmap(screen, 7, 3));
    HGDIOBJ held = bitmap.GetSafeHandle();
    EXPECT_FALSE(bitmap.LoadFromFile(L"C:\\no\\such.bmp"));
    EXPECT_EQ(bitmap.GetSafeHandle(), held);
    EXPECT_EQ(bitmap.GetSize(), CSize(7, 3));
    HGDIOBJ detached = bitmap.Detach();
    EXPECT_EQ(bitmap.GetSafeHandle(), nullptr);
    EXPECT_TRUE(DeleteObject(detached)) << "Detach gave the handle away undeleted";
}

TEST(GdiObjects, RegionsCombineAndComeFromPaths) {
    CRgn box, inner, ring;
    box.CreateRectRgn(0, 0, 100, 50);
    inner.CreateRectRgn(10, 10, 90, 40);
    ring.CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(ring.CombineRgn(box, inner, RGN_XOR), COMPLEXREGION);
    EXPECT_TRUE(PtInRegion(ring, 5, 5));
    EXPECT_FALSE(PtInRegion(ring, 50, 25));
    CRect bounds;
    ring.GetRgnBox(&bounds);
    EXPECT_EQ(bounds, CRect(0, 0, 100, 50));

    CClientDC screen(nullptr);
    CDC memory;
    memory.CreateCompatibleDC(screen);
    ASSERT_TRUE(memory.BeginPath());
    memory.Rectangle(5, 5, 25, 15);
    ASSERT_TRUE(memory.EndPath());
    CRgn fromPath;
    ASSERT_TRUE(fromPath.CreateFromPath(memory));
    EXPECT_TRUE(PtInRegion(fromPath, 6, 6));
    EXPECT_TRUE(PtInRegion(fromPath, 20, 12));
    EXPECT_FALSE(PtInRegion(fromPath, 4, 4));
    EXPECT_FALSE(PtInRegion(fromPath, 26, 10));
    EXPECT_FALSE(PtInRegion(fromPath, 10, 16));
}

TEST(GdiObjects, FontsAreMadeFromTheirDescriptionAndMeasureText) {
    LOGFONTW description{};
    description.lfHeight = -20;
    description.lfCharSet = DEFAULT_CHARSET;
    lstrcpyW(description.lfFaceName, L"Tahoma");
    CFont font;
    ASSERT_TRUE(font.CreateFontIndirect(description));
    LOGFONTW back{};
    ASSERT_TRUE(font.GetLogFont(&back));
    EXPECT_EQ(back.lfHeight, -20);
    EXPECT_STREQ(back.lfFaceName, L"Tahoma");

    CClientDC screen(nullptr);
    CDC memory;
    memory.CreateCompatibleDC(screen);
    HGDIOBJ old = memory.SelectObject(font);
    const CSize big = memory.GetTextExtent(L"Snap", 4);
    memory.SelectObject(old);
    description.lfHeight = -10;
    CFont small;
    small.CreateFontIndirect(description);
    old = memory.SelectObject(small);
    const CSize little = memory.GetTextExtent(L"Snap", 4);
    memory.SelectObject(old);
    EXPECT_GT(big.cy, little.cy);
    EXPECT_GT(big.cx, little.cx);
}

TEST(GdiObjects, MenusComeFromResourcesAndBorrowTheirSubmenus) {
    CMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_PROBE_MENU));
    CMenu popup = menu.GetSubMenu(0);
    ASSERT_EQ(popup.GetMenuItemCount(), 2);
    EXPECT_EQ(GetMenuItemID(popup, 1), static_cast<UINT>(IDM_PROBE_EXIT));
    popup.EnableMenuItem(IDM_PROBE_SHOW, MF_BYCOMMAND | MF_GRAYED);
    EXPECT_TRUE(popup.GetMenuState(IDM_PROBE_SHOW, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_FALSE(popup.DestroyMenu()) << "a borrowed submenu is not destroyed";
    HMENU handle = menu;
    EXPECT_TRUE(menu.DestroyMenu());
    EXPECT_FALSE(IsMenu(handle));
    EXPECT_FALSE(menu.LoadMenu(999));
}

TEST(GdiObjects, AWindowRegionBelongsToTheSystemOnceSet) {
    CWindow window(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 60, 40, nullptr, nullptr, nullptr, nullptr));
    ASSERT_TRUE(window.IsWindow());
    CRgn round;
    ASSERT_TRUE(round.CreateRoundRectRgn(3, 3, 58, 38, 17, 12));
    EXPECT_TRUE(window.SetWindowRgn(round, FALSE));
    EXPECT_EQ(round.GetSafeHandle(), nullptr) << "not deleted a second time by the CRgn";
    HRGN copy = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(window, copy), COMPLEXREGION);
    DeleteObject(copy);
    DestroyWindow(window);
}

}  // namespace
