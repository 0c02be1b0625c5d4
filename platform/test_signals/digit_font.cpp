#include "test_signals/digit_font.h"

#include <cstdio>

namespace test_signals {
namespace {

// One byte per dot row, bit 4 is the leftmost dot.
constexpr uint8_t kDigits[10][kGlyphHeight] = {
    {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E},  // 0
    {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E},  // 1
    {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F},  // 2
    {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E},  // 3
    {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02},  // 4
    {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E},  // 5
    {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E},  // 6
    {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08},  // 7
    {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E},  // 8
    {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C},  // 9
};

int DigitCount(uint32_t number) {
    int count = 1;
    while (number >= 10) {
        number /= 10;
        ++count;
    }
    return count;
}

void DrawGlyph(Canvas& canvas, const uint8_t* rows, int x, int y, int scale, Colour colour) {
    for (int row = 0; row < kGlyphHeight; ++row) {
        for (int col = 0; col < kGlyphWidth; ++col) {
            if (!(rows[row] & (0x10 >> col))) continue;
            canvas.FillRect(x + col * scale, y + row * scale, x + (col + 1) * scale, y + (row + 1) * scale, colour);
        }
    }
}

}  // namespace

int NumberWidth(uint32_t number, int scale) {
    return (DigitCount(number) * kGlyphAdvance - 1) * scale;
}

void DrawNumber(Canvas& canvas, uint32_t number, int x, int y, int scale, Colour colour) {
    char text[16];
    std::snprintf(text, sizeof text, "%lu", static_cast<unsigned long>(number));
    for (int i = 0; text[i]; ++i) {
        DrawGlyph(canvas, kDigits[text[i] - '0'], x + i * kGlyphAdvance * scale, y, scale, colour);
    }
}

}  // namespace test_signals
