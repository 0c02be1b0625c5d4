// What a window shows on the screen, as 24-bit colours (COLORREF), read back
// from the display after the window has drawn.
#pragma once

#include <windows.h>

#include <vector>

namespace harness {

class Screenshot {
public:
    Screenshot() = default;
    Screenshot(int width, int height, std::vector<COLORREF> pixels)
        : width_(width), height_(height), pixels_(std::move(pixels)) {}

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Empty() const { return pixels_.empty(); }
    // (x, y) from the top-left corner; CLR_INVALID outside.
    COLORREF At(int x, int y) const;
    // How many pixels of the rectangle (clipped to the picture) have the colour.
    int Count(COLORREF colour, const RECT& area) const;
    int Count(COLORREF colour) const { return Count(colour, RECT{0, 0, width_, height_}); }

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<COLORREF> pixels_;
};

// The window's rectangle (frame included) as the screen shows it: covered
// parts show what covers them. Empty when the window is not visible.
Screenshot CaptureWindow(HWND window);
// A client rectangle in the co-ordinates of the window's screenshot.
RECT ClientToCapture(HWND window, const RECT& client);
// A window's pixel in client co-ordinates as the screen shows it.
COLORREF ClientPixel(HWND window, int x, int y);

}  // namespace harness
