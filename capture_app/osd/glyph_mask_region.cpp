#include "capture_app/osd/glyph_mask_region.h"

#include <cstdint>
#include <vector>

#include "capture_app/osd/glyph_plate.h"
#include "dialog_framework/device_context.h"

namespace {

// A top-down 32-bit DIB of the given size, black, with the reference's font.
struct MaskCanvas {
    CDC dc;
    CBitmap bitmap;
    const std::uint32_t* pixels = nullptr;
};

bool MakeCanvas(HDC reference, int width, int height, MaskCanvas& canvas) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    if (!canvas.bitmap.Attach(::CreateDIBSection(reference, &info, DIB_RGB_COLORS, &bits, nullptr, 0))) return false;
    if (!canvas.dc.CreateCompatibleDC(reference)) return false;
    canvas.pixels = static_cast<const std::uint32_t*>(bits);
    return true;
}

bool BuildRegion(const std::vector<osd::Box>& rects, CRgn& plate) {
    std::vector<std::uint8_t> data(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
    auto* header = reinterpret_cast<RGNDATA*>(data.data());
    header->rdh.dwSize = sizeof(RGNDATAHEADER);
    header->rdh.iType = RDH_RECTANGLES;
    header->rdh.nCount = static_cast<DWORD>(rects.size());
    auto* out = reinterpret_cast<RECT*>(header->Buffer);
    RECT bounds{0, 0, 0, 0};
    for (size_t i = 0; i < rects.size(); ++i) {
        out[i] = RECT{rects[i].left, rects[i].top, rects[i].right, rects[i].bottom};
        ::UnionRect(&bounds, &bounds, &out[i]);
    }
    header->rdh.rcBound = bounds;
    return plate.Attach(::ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), header));
}

}  // namespace

bool GlyphMaskPlate(HDC reference, LPCWSTR text, const CRect& textRect, UINT format, CRgn& plate, CRect& box) {
    const int width = textRect.right, height = textRect.bottom;
    if (width <= 0 || height <= 0 || textRect.IsRectEmpty()) return false;
    MaskCanvas canvas;
    if (!MakeCanvas(reference, width, height, canvas)) return false;
    const HGDIOBJ oldBitmap = canvas.dc.SelectObject(canvas.bitmap);
    const HGDIOBJ oldFont = canvas.dc.SelectObject(::GetCurrentObject(reference, OBJ_FONT));
    canvas.dc.SetBkMode(TRANSPARENT);
    canvas.dc.SetTextColor(RGB(255, 255, 255));
    CRect drawRect = textRect;
    canvas.dc.DrawText(text, -1, &drawRect, format);
    ::GdiFlush();
    canvas.dc.SelectObject(oldFont);
    canvas.dc.SelectObject(oldBitmap);

    // Any lit channel is ink, so smoothed edges count as part of a letter.
    std::vector<std::uint8_t> mask(static_cast<size_t>(width) * height);
    for (size_t i = 0; i < mask.size(); ++i) mask[i] = (canvas.pixels[i] & 0xFFFFFF) != 0;
    osd::Box bounds;
    const std::vector<osd::Box> rects = osd::PlateRects(osd::GlyphMask{mask.data(), width, height, width}, &bounds);
    if (bounds.Empty()) return false;
    box.SetRect(bounds.left, bounds.top, bounds.right, bounds.bottom);
    if (rects.empty()) return plate.CreateRectRgn(0, 0, 0, 0) != FALSE;  // solid ink: nothing left of the plate
    return BuildRegion(rects, plate);
}
