// JPEG encoding through the platform's imaging component (WIC).
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "filters/snapshot/frame_pictures.h"

namespace snapshot {

// Encodes the picture at its own size; `quality` is WIC's "ImageQuality"
// (0..1). The calling thread needs no COM apartment of its own.
HRESULT EncodeJpeg(const BgrPicture& picture, float quality, std::vector<uint8_t>* file);

}  // namespace snapshot
