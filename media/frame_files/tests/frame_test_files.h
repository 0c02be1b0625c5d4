// Shared by the frame file tests and fuzzers: sample files, hand-built tiny
// bitmaps and GIFs, and ImageMagick as an independent decoder.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace frame_test {

using Bytes = std::vector<uint8_t>;

Bytes ReadFileBytes(const std::string& path);
// A file written by make_frames.py into the build's frame_samples folder.
std::string SamplePath(const std::string& name);
Bytes ReadSample(const std::string& name);

// A bitmap file: 40-byte header (or 108 with bitfields), rows given top row first
// and unpadded; top_down writes a negative height.
Bytes MakeBitmap(int width, int height, int bit_count, const Bytes& top_rows, bool top_down = false,
                 const Bytes& palette_bgrx = {}, bool bitfields = false);

struct GifImage {
    int left = 0, top = 0, width = 0, height = 0;
    std::vector<uint8_t> indices;  // width * height, top row first
    int delay_cs = 10;
    int disposal = 1;
    int transparent = -1;           // -1: none
    std::vector<uint8_t> local_rgb; // empty: the global palette
    bool interlaced = false;
};

// A GIF89a of the given screen and global palette (rgb triples, a power of two
// in count), looping when loop is set.
Bytes MakeGif(int width, int height, const std::vector<uint8_t>& global_rgb, const std::vector<GifImage>& images,
              bool loop = true);

// GIF image data: LZW codes that never let the table outgrow the first code
// width (a clear code every few literals), as simple encoders write it.
Bytes SimpleLzw(const std::vector<uint8_t>& indices, int min_code_size);

// SWF records and tags for hand-built movies.
class SwfBits {
public:
    void Put(int64_t value, int count);  // low count bits, most significant first
    Bytes Take();                        // pads the last byte
    static int SignedWidth(std::initializer_list<int64_t> values);

private:
    Bytes out_;
    uint32_t acc_ = 0;
    int count_ = 0;
};
Bytes SwfRect(int x_min, int x_max, int y_min, int y_max);
// Scale and rotate-skew as 16.16 values, translation in twips.
Bytes SwfMatrix(double scale_x, double scale_y, double skew0, double skew1, int tx, int ty);
Bytes SwfTag(int code, const Bytes& body);
// DefineBitsLossless2, format 5, from straight RGBA.
Bytes SwfLossless2(uint16_t id, int width, int height, const Bytes& rgba);
// A movie of width x height pixels at fps with these tags (End added).
Bytes SwfMovie(int width, int height, double fps, const std::vector<Bytes>& tags, bool compressed);

// ImageMagick's reading of a file: every frame composed (coalesced) as RGBA.
struct MagickFrames {
    int width = 0, height = 0;
    std::vector<Bytes> rgba;
};
bool ReadWithImageMagick(const std::string& path, MagickFrames* out, std::string* error);

}  // namespace frame_test
