#include "test_signals/canvas.h"

#include <algorithm>
#include <cstring>

namespace test_signals {

void Canvas::Resize(int width, int height) {
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    pixels_.resize(static_cast<size_t>(width_) * height_ * 3);
}

void Canvas::FillRect(int x0, int y0, int x1, int y1, Colour colour) {
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, width_);
    y1 = std::min(y1, height_);
    if (x0 >= x1 || y0 >= y1) return;
    uint8_t* first = Row(y0) + 3 * x0;
    for (int x = 0; x < x1 - x0; ++x) {
        first[3 * x] = colour.b;
        first[3 * x + 1] = colour.g;
        first[3 * x + 2] = colour.r;
    }
    const size_t bytes = static_cast<size_t>(x1 - x0) * 3;
    for (int y = y0 + 1; y < y1; ++y) std::memcpy(Row(y) + 3 * x0, first, bytes);
}

}  // namespace test_signals
