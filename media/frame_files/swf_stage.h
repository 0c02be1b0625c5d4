// The Flash player's state while a movie plays (internal): the characters
// defined so far, the display list, and drawing it into one RGBA picture.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "media/frame_files/swf_records.h"

namespace frame_files {

struct SwfBitmap {
    int width = 0, height = 0;
    std::vector<uint8_t> rgba;  // straight alpha, top row first
};

// A shape we can draw: its bounds filled with a bitmap.
struct SwfShape {
    SwfRect bounds;
    uint16_t bitmap_id = 0;
    SwfMatrix fill;       // bitmap pixels to shape twips
    bool repeat = false;  // repeating fill wraps, clipped fill clamps to the edge
};

struct SwfPlacement {
    uint16_t character = 0;
    SwfMatrix matrix;
    SwfColourTransform colour;
};

class SwfStage {
public:
    SwfStage(const SwfRect& frame, int width, int height) : frame_(frame), width_(width), height_(height) {}

    std::map<uint16_t, SwfBitmap> bitmaps;
    std::map<uint16_t, SwfShape> shapes;
    std::map<uint16_t, SwfPlacement> display;  // by depth, drawn lowest first

    void SetBackground(uint8_t red, uint8_t green, uint8_t blue);
    // The display list drawn over the background; true when at least one
    // bitmap shape was on it.
    bool Draw(std::vector<uint8_t>* rgba) const;

private:
    void DrawShape(const SwfShape& shape, const SwfBitmap& bitmap, const SwfPlacement& placement,
                   std::vector<uint8_t>* rgba) const;

    SwfRect frame_;
    int width_, height_;
    uint8_t background_[4] = {255, 255, 255, 255};
};

}  // namespace frame_files
