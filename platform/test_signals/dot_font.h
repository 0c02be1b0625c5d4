// Text for the test pattern from a 5x7 dot font magnified to `scale` pixels
// per dot: digits, A-Z (lower case drawn as upper case), space and - . : _ ( ) / #.
// Other characters are drawn as '?'.
#pragma once

#include <cstdint>
#include <string_view>

#include "test_signals/canvas.h"

namespace test_signals {

inline constexpr int kGlyphWidth = 5;
inline constexpr int kGlyphHeight = 7;
inline constexpr int kGlyphAdvance = kGlyphWidth + 1;  // one dot of spacing

// Width in pixels of `text` written at `scale`.
int TextWidth(std::string_view text, int scale);

// Writes `text` with its top-left corner at (x, y); only the dots are drawn.
void DrawText(Canvas& canvas, std::string_view text, int x, int y, int scale, Colour colour);

}  // namespace test_signals
