// Effects that draw shapes over or out of the picture: Mosaic, DrawRect, Ellipse.
#pragma once

#include <memory>

#include "media/effects/effect.h"

namespace effects {

// Side of a Mosaic block for a picture width: 32 blocks across, at least 4 pixels.
int MosaicBlockSize(int width);

std::unique_ptr<Effect> MakeMosaic();
std::unique_ptr<Effect> MakeDrawRect();
std::unique_ptr<Effect> MakeEllipse();

}  // namespace effects
