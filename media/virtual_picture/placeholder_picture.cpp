#include "media/virtual_picture/placeholder_picture.h"

#include <algorithm>
#include <cstdlib>

#include "pixel_formats/convert_frame.h"
#include "test_signals/canvas.h"
#include "test_signals/dot_font.h"

namespace virtual_picture {

namespace {

using test_signals::Canvas;
using test_signals::Colour;

constexpr Colour kTop{0x6a, 0x3c, 0x1e};     // deep blue (B, G, R)
constexpr Colour kBottom{0x3a, 0x1c, 0x0c};  // darker towards the bottom
constexpr Colour kTitle{0xff, 0xff, 0xff};
constexpr Colour kNotice{0xa0, 0xd8, 0xf0};  // warm light yellow
constexpr Colour kRule{0xc8, 0x9c, 0x6e};

void FillGradient(Canvas& canvas) {
    const int h = canvas.height();
    for (int y = 0; y < h; ++y) {
        auto mix = [&](uint8_t a, uint8_t b) { return static_cast<uint8_t>(a + (b - a) * y / std::max(1, h - 1)); };
        canvas.FillRect(0, y, canvas.width(), y + 1,
                        Colour{mix(kTop.b, kBottom.b), mix(kTop.g, kBottom.g), mix(kTop.r, kBottom.r)});
    }
}

// Largest dot size at which `text` takes at most `share` of the width.
int ScaleFor(const char* text, int width, double share) {
    const int unit = test_signals::TextWidth(text, 1);
    return std::max(1, static_cast<int>(width * share) / std::max(1, unit));
}

void DrawCentred(Canvas& canvas, const char* text, int y, int scale, Colour colour) {
    const int x = (canvas.width() - test_signals::TextWidth(text, scale)) / 2;
    test_signals::DrawText(canvas, text, x, y, scale, colour);
}

void DrawCard(Canvas& canvas) {
    FillGradient(canvas);
    const int w = canvas.width(), h = canvas.height();
    const int title_scale = ScaleFor(kPlaceholderTitle, w, 0.8);
    const int notice_scale = std::max(1, title_scale * 2 / 3);
    const int title_h = test_signals::kGlyphHeight * title_scale;
    const int notice_h = test_signals::kGlyphHeight * notice_scale;
    const int gap = std::max(2, title_h / 2);
    const int top = (h - title_h - gap - notice_h) / 2;
    DrawCentred(canvas, kPlaceholderTitle, top, title_scale, kTitle);
    const int rule = std::max(1, title_scale / 2);
    const int rule_y = top + title_h + (gap - rule) / 2;
    canvas.FillRect(w / 5, rule_y, w - w / 5, rule_y + rule, kRule);
    DrawCentred(canvas, kPlaceholderNotice, top + title_h + gap, notice_scale, kNotice);
}

}  // namespace

bool RenderPlaceholder(const pixel_formats::FrameFormat& format, uint8_t* dst, size_t capacity) {
    const int width = format.width, height = std::abs(format.height);
    if (width <= 0 || height <= 0 || width > pixel_formats::kMaxDimension || height > pixel_formats::kMaxDimension) {
        return false;
    }
    Canvas canvas;
    canvas.Resize(width, height);
    DrawCard(canvas);
    const pixel_formats::FrameFormat drawn{pixel_formats::PixelFormat::kRgb24, width, -height, width * 3};
    return pixel_formats::ConvertFrame(canvas.data(), canvas.size(), drawn, dst, capacity, format);
}

}  // namespace virtual_picture
