#include "testing/window_harness/pixel_capture.h"

#include <algorithm>

namespace harness {

COLORREF Screenshot::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
    return pixels_[static_cast<size_t>(y) * width_ + x];
}

int Screenshot::Count(COLORREF colour, const RECT& area) const {
    int count = 0;
    for (int y = std::max(0, static_cast<int>(area.top)); y < std::min(height_, static_cast<int>(area.bottom)); ++y)
        for (int x = std::max(0, static_cast<int>(area.left)); x < std::min(width_, static_cast<int>(area.right)); ++x)
            if (pixels_[static_cast<size_t>(y) * width_ + x] == colour) ++count;
    return count;
}

Screenshot CaptureWindow(HWND window) {
    RECT r{};
    if (!IsWindowVisible(window) || !GetWindowRect(window, &r)) return {};
    const int width = r.right - r.left, height = r.bottom - r.top;
    if (width <= 0 || height <= 0) return {};

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, dib);
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    std::vector<COLORREF> pixels(static_cast<size_t>(width) * height);
    const auto* bgrx = static_cast<const BYTE*>(bits);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = RGB(bgrx[4 * i + 2], bgrx[4 * i + 1], bgrx[4 * i]);
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(dib);
    ReleaseDC(nullptr, screen);
    return Screenshot(width, height, std::move(pixels));
}

RECT ClientToCapture(HWND window, const RECT& client) {
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    RECT frame{};
    GetWindowRect(window, &frame);
    const int dx = origin.x - frame.left, dy = origin.y - frame.top;
    return RECT{client.left + dx, client.top + dy, client.right + dx, client.bottom + dy};
}

COLORREF ClientPixel(HWND window, int x, int y) {
    const Screenshot shot = CaptureWindow(window);
    const RECT at = ClientToCapture(window, RECT{x, y, x + 1, y + 1});
    return shot.At(at.left, at.top);
}

}  // namespace harness
