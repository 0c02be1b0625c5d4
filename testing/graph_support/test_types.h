// Media types for the filter tests, built by hand from the DIB rules rather
// than by the code under test.
#pragma once

#include "dshow_base/streams.h"
#include "pixel_formats/pixel_format.h"

namespace graph_test {

struct VideoTypeParams {
    pixel_formats::PixelFormat format = pixel_formats::PixelFormat::kYuy2;
    int width = 64;
    int height = 48;          // biHeight, sign included
    int bitmapWidth = 0;      // biWidth when wider than the picture (a stride); 0: width
    bool videoInfo2 = false;  // FORMAT_VideoInfo2 instead of FORMAT_VideoInfo
};

CMediaType MakeVideoType(const VideoTypeParams& params);
// A type with a subtype the converter does not handle (fixed samples of `size` bytes).
CMediaType MakeOtherVideoType(const GUID& subtype, DWORD compression, WORD bitCount, int width,
                              int height);
// Not video at all: a byte stream of fixed-size samples.
CMediaType MakeStreamType(ULONG sampleSize);

const BITMAPINFOHEADER* BitmapHeader(const AM_MEDIA_TYPE& mt);
const GUID& SubtypeFor(pixel_formats::PixelFormat format);

}  // namespace graph_test
