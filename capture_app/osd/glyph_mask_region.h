// The plate region of a text drawn as pixels: the Win32 side of glyph_plate.
#pragma once

#include <windows.h>

#include "dialog_framework/gdi_objects.h"
#include "dialog_framework/geometry.h"

// Draws text with the font selected in reference into an off-screen mask at
// textRect (same co-ordinates as reference) and makes plate the glyphs' box
// without the drawn pixels; box receives that bounding box. False when the
// text draws no pixel or a GDI call fails.
bool GlyphMaskPlate(HDC reference, LPCWSTR text, const CRect& textRect, UINT format, CRgn& plate, CRect& box);
