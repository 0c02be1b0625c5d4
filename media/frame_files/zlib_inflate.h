// zlib streams with a hard output cap, so a small file cannot expand into
// unbounded memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace frame_files {

enum class InflateResult {
    Ok,         // the stream ended with exactly what was produced
    Filled,     // the cap was reached before the stream ended
    Truncated,  // the input ended inside the stream
    Corrupt,
};

// Inflates a zlib stream into *out, producing at most cap bytes.
InflateResult InflateCapped(const uint8_t* data, size_t size, size_t cap, std::vector<uint8_t>* out);

}  // namespace frame_files
