// The blend of one overlay span onto video bytes (internal to the overlay):
// dst = src + dst * inverse / 255 per byte, rounded, saturated. A literal
// scalar reference, and SSE2 and AVX2 kernels that give identical bytes,
// chosen once by what the processor offers.
#pragma once

#include <cstddef>
#include <cstdint>

namespace frame_files {

enum class BlendLevel { Scalar, Sse2, Avx2 };

using BlendRowFunction = void (*)(uint8_t* dst, const uint8_t* src, const uint8_t* inverse, size_t n);

// The kernel of a level, or null where this build or processor lacks it.
BlendRowFunction BlendRowFor(BlendLevel level);
// The fastest level available here.
BlendLevel BestBlendLevel();

}  // namespace frame_files
