// The plate of a status text as rectangles, built from a mask of the drawn
// glyphs: the glyphs' bounding box with every inked pixel left out. Used
// when the text's font gives no outlines to turn into a region.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "capture_app/osd/osd_metrics.h"

namespace osd {

// A one-byte-per-pixel mask; a pixel is ink when its byte is non-zero.
struct GlyphMask {
    const std::uint8_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;  // bytes from one row to the next
};

// Smallest box holding every ink pixel; empty when there is none.
Box InkBounds(const GlyphMask& mask);

// The plate as rectangles in y-x band order (rows top to bottom, within a
// band left to right, every rectangle of a band the same height), the form
// a region's data must have. Equal neighbouring rows share one band.
std::vector<Box> PlateRects(const GlyphMask& mask, Box* bounds);

}  // namespace osd
