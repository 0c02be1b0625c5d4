// Bitmap files for button tests, written at run time.
#pragma once

#include <windows.h>

// A 24-bit .bmp whose upper half (rows 0 .. height/2 - 1) is `top` and whose
// lower half is `bottom`, so a picture drawn upside down or offset shows.
bool WriteTwoToneBitmap(LPCWSTR path, int width, int height, COLORREF top, COLORREF bottom);
