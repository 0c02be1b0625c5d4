// Orvane beside Snapory: Snapory's window, dragged within 20 pixels of the
// panel's left edge, docks the panel, which then follows it; dragging the
// panel by its client area undocks it.
#include <gtest/gtest.h>

#include "capture_app/tests/snapory_install.h"
#include "webcam_app/resource.h"
#include "webcam_app/tests/orvane_install.h"

namespace {

using namespace orvane_test;
using harness::WaitUntil;

RECT WindowRect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

// Drags with the real mouse from a point by (dx, dy), in a few steps.
void Drag(POINT from, int dx, int dy) {
    harness::MoveMouseTo(from);
    harness::PressLeftButton();
    // Snapory starts the system's move loop with a posted message: let it
    // begin while the button is down, and let it see every step.
    Sleep(200);
    harness::MoveMouseTo(POINT{from.x + dx / 2, from.y + dy / 2});
    Sleep(100);
    harness::MoveMouseTo(POINT{from.x + dx, from.y + dy});
    Sleep(100);
    harness::ReleaseLeftButton();
}

// Snapory is dragged by its bottom bar, left of its buttons.
POINT SnaporyGrip(HWND snapory) {
    const RECT r = WindowRect(snapory);
    return POINT{r.left + 40, r.bottom - 60};
}

TEST(OrvaneDocking, SnaporyDocksThePanelWhichFollowsUntilDraggedAway) {
    OrvaneInstall orvane(L"orvane-docking");
    ASSERT_TRUE(orvane.Start(L"Talvoro Test Camera"));
    snapory_test::SnaporyInstall snapory(L"orvane-docking-snapory");
    ASSERT_TRUE(snapory.Start());
    HWND panel = orvane.Window(), capture = snapory.Window();

    SetWindowPos(capture, nullptr, 20, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    const RECT c0 = WindowRect(capture);
    SetWindowPos(panel, HWND_TOPMOST, c0.right + 100, 200, 0, 0, SWP_NOSIZE);
    const RECT p0 = WindowRect(panel);

    // Snapory comes closer step by step: the panel stays where it is while
    // more than 20 pixels lie between them, then jumps beside Snapory and
    // takes its height.
    RECT c1{}, p1{};
    bool docked = false;
    for (int step = 0; step < 10 && !docked; ++step) {
        const RECT before = WindowRect(capture);
        Drag(SnaporyGrip(capture), 15, 0);
        ASSERT_TRUE(WaitUntil([&] { return WindowRect(capture).left != before.left; }, 5000)) << "Snapory did not move";
        Sleep(400);
        c1 = WindowRect(capture);
        p1 = WindowRect(panel);
        const int gap = p0.left - c1.right;
        if (gap > 20) {
            ASSERT_TRUE(EqualRect(&p0, &p1) != FALSE) << "docked from " << gap << " pixels away";
            continue;
        }
        docked = WaitUntil([&] {
            c1 = WindowRect(capture);
            p1 = WindowRect(panel);
            return p1.left == c1.right - 5 && p1.top == c1.top && p1.bottom == c1.bottom;
        }, 5000);
        ASSERT_TRUE(docked) << "not docked " << gap << " pixels away: panel at " << p1.left << "," << p1.top << "-"
                            << p1.bottom << ", Snapory's right edge " << c1.right;
    }
    ASSERT_TRUE(docked);
    EXPECT_EQ(p1.right - p1.left, 190);

    // Docked: it follows Snapory's next move, down and to the right.
    Drag(SnaporyGrip(capture), 60, 40);
    RECT c2{}, p2{};
    EXPECT_TRUE(WaitUntil([&] {
        c2 = WindowRect(capture);
        p2 = WindowRect(panel);
        return c2.left != c1.left && p2.left == c2.right - 5 && p2.top == c2.top;
    }, 5000)) << "the panel did not follow";

    // Dragged by its client area (the bottom bar), it leaves and stays away.
    POINT grip{75, 0};
    RECT client{};
    GetClientRect(panel, &client);
    grip.y = client.bottom - 60;
    ClientToScreen(panel, &grip);
    Drag(grip, 120, 0);
    RECT p3{};
    ASSERT_TRUE(WaitUntil([&] { return (p3 = WindowRect(panel)).left == p2.left + 120; }, 5000))
        << "the panel was not dragged: " << p3.left;
    Drag(SnaporyGrip(capture), -30, 0);
    ASSERT_TRUE(WaitUntil([&] { return WindowRect(capture).left != c2.left; }, 5000));
    Sleep(500);
    const RECT p4 = WindowRect(panel);
    EXPECT_EQ(p4.left, p3.left) << "still docked after the panel was dragged away";

    EXPECT_TRUE(snapory.Close());
    EXPECT_TRUE(orvane.Close());
}

}  // namespace
