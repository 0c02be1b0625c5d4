// The size record both engines exchange with their applications.
#pragma once

// A capture or output size in pixels; a height keeps the sign the device gives it.
struct tag_VideoSize {
    int width;
    int height;
};
static_assert(sizeof(tag_VideoSize) == 8, "exchanged with callers as two 32-bit ints");
