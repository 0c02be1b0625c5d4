// A video media type as the converter's pipeline names it: its subtype and
// picture size, and the bytes one frame of it takes.
#pragma once

#include <windows.h>
#include <dshow.h>

#include "dshow_base/video_media_type.h"
#include "filters/pixmorph/colorspaceconverter.h"
#include "filters/pixmorph/pixmorph_filter_rules.h"

using video_media::BitmapHeaderOf;
using video_media::SameMediaType;

// False for a subtype the converter does not take.
bool PipelineSubtype(const GUID& subtype, pixmorph::Subtype* out);

// Subtype and size of an accepted input type; false when either is missing.
bool InputPicture(const AM_MEDIA_TYPE& mt, pixmorph::Picture* picture);

// Bytes one frame of this type takes (its biSizeImage, else the packed layout); 0 when unreadable.
size_t TypeFrameBytes(const AM_MEDIA_TYPE& mt);
