#include "capture_app/osd/glyph_plate.h"

namespace osd {
namespace {

bool Ink(const GlyphMask& mask, int x, int y) {
    return mask.pixels[static_cast<long>(y) * mask.stride + x] != 0;
}

// The gaps between ink within [left, right) of one row, as x spans.
std::vector<Box> RowGaps(const GlyphMask& mask, int y, int left, int right) {
    std::vector<Box> gaps;
    int x = left;
    while (x < right) {
        while (x < right && Ink(mask, x, y)) ++x;
        const int start = x;
        while (x < right && !Ink(mask, x, y)) ++x;
        if (x > start) gaps.push_back(Box{start, y, x, y + 1});
    }
    return gaps;
}

bool SameSpans(const std::vector<Box>& a, const std::vector<Box>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].left != b[i].left || a[i].right != b[i].right) return false;
    return true;
}

}  // namespace

Box InkBounds(const GlyphMask& mask) {
    Box box{mask.width, mask.height, 0, 0};
    for (int y = 0; y < mask.height; ++y) {
        for (int x = 0; x < mask.width; ++x) {
            if (!Ink(mask, x, y)) continue;
            if (x < box.left) box.left = x;
            if (x >= box.right) box.right = x + 1;
            if (y < box.top) box.top = y;
            box.bottom = y + 1;
        }
    }
    return box.Empty() ? Box{} : box;
}

std::vector<Box> PlateRects(const GlyphMask& mask, Box* bounds) {
    const Box box = InkBounds(mask);
    if (bounds) *bounds = box;
    std::vector<Box> rects;
    if (box.Empty()) return rects;
    std::size_t bandStart = 0;
    std::vector<Box> band;
    for (int y = box.top; y < box.bottom; ++y) {
        std::vector<Box> gaps = RowGaps(mask, y, box.left, box.right);
        if (!band.empty() && SameSpans(gaps, band)) {
            for (std::size_t i = bandStart; i < rects.size(); ++i) rects[i].bottom = y + 1;
            continue;
        }
        band = gaps;
        bandStart = rects.size();
        rects.insert(rects.end(), gaps.begin(), gaps.end());
    }
    return rects;
}

}  // namespace osd
