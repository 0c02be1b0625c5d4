#include "media/frame_files/zlib_inflate.h"

#include <zlib.h>

#include <algorithm>
#include <climits>

namespace frame_files {

InflateResult InflateCapped(const uint8_t* data, size_t size, size_t cap, std::vector<uint8_t>* out) {
    out->clear();
    z_stream z{};
    if (inflateInit(&z) != Z_OK) return InflateResult::Corrupt;
    // Grow in steps: a claimed size is only believed as far as the data goes.
    constexpr size_t kStep = size_t{1} << 20;
    size_t in_left = size;
    z.next_in = const_cast<Bytef*>(data);
    int status = Z_OK;
    while (status == Z_OK) {
        if (out->size() == cap) break;
        const size_t grow = std::min(kStep, cap - out->size());
        const size_t produced = out->size();
        // Doubling, but never past the cap: a capped stream holds at most 1.5 cap at once.
        if (out->capacity() < produced + grow) out->reserve(std::min(cap, std::max(produced * 2, produced + grow)));
        out->resize(produced + grow);
        z.next_out = out->data() + produced;
        z.avail_out = static_cast<uInt>(grow);
        const uInt feed = static_cast<uInt>(std::min<size_t>(in_left, UINT_MAX));
        z.avail_in = feed;
        status = inflate(&z, Z_NO_FLUSH);
        in_left -= feed - z.avail_in;
        out->resize(produced + grow - z.avail_out);
        if (status == Z_BUF_ERROR && z.avail_out != 0) break;  // no input left to make progress
        if (status == Z_BUF_ERROR) status = Z_OK;
    }
    inflateEnd(&z);
    if (status == Z_STREAM_END) return InflateResult::Ok;
    if (status == Z_OK && out->size() == cap) return InflateResult::Filled;
    if (status == Z_BUF_ERROR || status == Z_OK) return InflateResult::Truncated;
    return InflateResult::Corrupt;
}

}  // namespace frame_files
