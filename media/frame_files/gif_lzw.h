// The GIF flavour of LZW (variable code width up to 12 bits, clear and end
// codes), decoding one image's sub-block data into palette indices.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace frame_files {

enum class LzwResult {
    Complete,  // every pixel received
    Short,     // the data ended (end code or last byte) before every pixel: the rest stays unset
    Corrupt,   // a code that no table could hold
};

// Decodes data (sub-blocks already joined) into at most pixels.size() indices.
// Output stops at pixels.size(), so no stream makes it write more; *written
// says how many indices it produced.
LzwResult DecodeGifLzw(int min_code_size, const uint8_t* data, size_t size, std::vector<uint8_t>& pixels,
                       size_t* written);

}  // namespace frame_files
