// A top-down B G R picture the test pattern is drawn on before conversion to
// the requested format. Drawing clips to the picture, so callers may place
// shapes partly or wholly outside it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace test_signals {

struct Colour {
    uint8_t b, g, r;
};

class Canvas {
public:
    void Resize(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }
    const uint8_t* data() const { return pixels_.data(); }
    size_t size() const { return pixels_.size(); }
    uint8_t* Row(int y) { return pixels_.data() + static_cast<size_t>(y) * width_ * 3; }

    // Half-open rectangle [x0, x1) x [y0, y1).
    void FillRect(int x0, int y0, int x1, int y1, Colour colour);

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<uint8_t> pixels_;
};

}  // namespace test_signals
