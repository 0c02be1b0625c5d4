// A stand-in for the capture window in display tests: a borderless popup
// painted in one colour, standing for the video, that hands its moves and
// size changes to its displays as the capture window does.
#pragma once

#include <windows.h>

#include <algorithm>
#include <vector>

#include "capture_app/osd/osd.h"
#include "testing/window_harness/waiting.h"

class COsdTestOwner : public CWnd {
public:
    static constexpr COLORREF kPicture = RGB(255, 0, 255);

    BOOL Create(int x, int y, int width, int height, bool visible = true);
    void Follow(COsd* display) { m_displays.push_back(display); }
    void Forget(COsd* display) { m_displays.erase(std::remove(m_displays.begin(), m_displays.end(), display), m_displays.end()); }

protected:
    void OnPaint() override;
    BOOL OnEraseBkgnd(HDC dc) override;
    void OnSize(UINT type, int cx, int cy) override;
    void OnMove(int x, int y) override;

private:
    std::vector<COsd*> m_displays;
};

using harness::PumpFor;
