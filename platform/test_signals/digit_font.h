// Large decimal digits for the test pattern, drawn from a 5x7 dot font
// magnified to `scale` pixels per dot.
#pragma once

#include <cstdint>

#include "test_signals/canvas.h"

namespace test_signals {

inline constexpr int kGlyphWidth = 5;
inline constexpr int kGlyphHeight = 7;
inline constexpr int kGlyphAdvance = kGlyphWidth + 1;  // one dot of spacing

// Width in pixels of `number` written at `scale`.
int NumberWidth(uint32_t number, int scale);

// Writes `number` with its top-left corner at (x, y).
void DrawNumber(Canvas& canvas, uint32_t number, int x, int y, int scale, Colour colour);

}  // namespace test_signals
