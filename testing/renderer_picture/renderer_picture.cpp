#include "testing/renderer_picture/renderer_picture.h"

#include <dshow.h>

#include <vector>

#include "dshow_base/com_ptr.h"
#include "test_signals/test_pattern.h"

namespace renderer_picture {
namespace {

using pixel_formats::PixelFormat;

// The renderer's own copy of the picture. The VMR hands it out at any time;
// the Video Renderer only while paused, as documented.
std::optional<uint32_t> FromCurrentImage(IUnknown* renderer) {
    ComPtr<IBasicVideo> video;
    if (FAILED(renderer->QueryInterface(IID_IBasicVideo, video.PutVoid()))) return std::nullopt;
    // Wine's VMR faults on the documented size query (a null buffer), so
    // offer room for the largest picture instead.
    long width = 0, height = 0;
    if (FAILED(video->GetVideoSize(&width, &height)) || width <= 0 || height <= 0) return std::nullopt;
    long size = long(sizeof(BITMAPINFOHEADER)) + width * height * 4 + 1024;
    std::vector<long> dib((size + 3) / 4);
    if (FAILED(video->GetCurrentImage(&size, dib.data()))) return std::nullopt;
    const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(dib.data());
    const auto* bits = reinterpret_cast<const uint8_t*>(dib.data()) + header->biSize;
    const size_t length = size_t(size) - header->biSize;
    const auto format = header->biBitCount == 32 ? PixelFormat::kRgb32 : PixelFormat::kRgb24;
    // Wine's VMR hands rows out top-down under a bottom-up header; the code
    // reads in one orientation only, so trying both cannot mistake a frame.
    if (auto n = test_signals::DecodeFrameCounter(bits, length, format, header->biWidth, header->biHeight)) return n;
    return test_signals::DecodeFrameCounter(bits, length, format, header->biWidth, -header->biHeight);
}

// The renderer's window: the one on the screen at the middle of the video
// window's position, which is relative to the owner's client area when the
// renderer has an owner and to the screen otherwise.
HWND RendererWindow(IVideoWindow* window) {
    long left = 0, top = 0, width = 0, height = 0;
    OAHWND owner = 0;
    if (FAILED(window->GetWindowPosition(&left, &top, &width, &height)) || width <= 0 || height <= 0) return nullptr;
    window->get_Owner(&owner);
    POINT middle = {left + width / 2, top + height / 2};
    if (owner) ClientToScreen(reinterpret_cast<HWND>(owner), &middle);
    const HWND shown = WindowFromPoint(middle);
    return shown && shown != reinterpret_cast<HWND>(owner) ? shown : nullptr;
}

// The client area of a window as the screen shows it, top row first.
std::vector<uint8_t> ScreenPixels(HWND window, int* width, int* height) {
    RECT client;
    POINT origin = {0, 0};
    if (!GetClientRect(window, &client) || !ClientToScreen(window, &origin)) return {};
    *width = client.right;
    *height = client.bottom;
    if (*width <= 0 || *height <= 0) return {};
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = *width;
    info.bmiHeader.biHeight = -*height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    const HDC screen = GetDC(nullptr);
    const HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HDC memory = CreateCompatibleDC(screen);
    const HGDIOBJ old = SelectObject(memory, dib);
    BitBlt(memory, 0, 0, *width, *height, screen, origin.x, origin.y, SRCCOPY);
    GdiFlush();
    std::vector<uint8_t> pixels;
    if (bits) pixels.assign(static_cast<const uint8_t*>(bits), static_cast<const uint8_t*>(bits) + *width * *height * 4);
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(dib);
    ReleaseDC(nullptr, screen);
    return pixels;
}

std::optional<uint32_t> FromWindow(IUnknown* renderer) {
    ComPtr<IVideoWindow> window;
    if (FAILED(renderer->QueryInterface(IID_IVideoWindow, window.PutVoid()))) return std::nullopt;
    const HWND shown = RendererWindow(window.Get());
    if (!shown) return std::nullopt;
    int width = 0, height = 0;
    const std::vector<uint8_t> pixels = ScreenPixels(shown, &width, &height);
    if (pixels.empty()) return std::nullopt;
    return test_signals::DecodeFrameCounter(pixels.data(), pixels.size(), PixelFormat::kRgb32, width, -height);
}

}  // namespace

std::optional<uint32_t> ShownFrameNumber(IUnknown* renderer) {
    if (!renderer) return std::nullopt;
    if (auto n = FromCurrentImage(renderer)) return n;
    return FromWindow(renderer);
}

}  // namespace renderer_picture
