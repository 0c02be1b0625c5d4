// Reading a video media type the way the converter filter needs it: the
// bitmap header inside either video format block, and the subtype as the
// pipeline names it.
#pragma once

#include <windows.h>
#include <dshow.h>

#include "filters/pixmorph/colorspaceconverter.h"
#include "filters/pixmorph/pixmorph_filter_rules.h"

// The planar 4:2:0 subtype by its four-character code, {30323449-0000-0010-8000-00AA00389B71};
// older SDK headers do not define it.
static const GUID MEDIASUBTYPE_PixmorphI420 = {
    0x30323449, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// The BITMAPINFOHEADER of a FORMAT_VideoInfo (offset 48) or FORMAT_VideoInfo2
// (offset 72) block; null for other formats and for a block too short to hold it.
const BITMAPINFOHEADER* VideoHeader(const AM_MEDIA_TYPE& mt);

// False for a subtype the converter does not take.
bool PipelineSubtype(const GUID& subtype, pixmorph::Subtype* out);

// Subtype and size of an accepted input type; false when either is missing.
bool InputPicture(const AM_MEDIA_TYPE& mt, pixmorph::Picture* picture);

// Bytes one frame of this type takes (its biSizeImage, else the packed layout); 0 when unreadable.
size_t TypeFrameBytes(const AM_MEDIA_TYPE& mt);

// Same major type, subtype, format type and format bytes.
bool SameMediaType(const AM_MEDIA_TYPE& a, const AM_MEDIA_TYPE& b);
