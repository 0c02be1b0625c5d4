// Frame file decoders: bytes in memory (the caller reads the file) to a
// FrameAnimation. Every decoder checks each length against the data and
// refuses what lies beyond the limits of frame_animation.h; on failure the
// output animation is left empty.
#pragma once

#include <cstddef>
#include <cstdint>

#include "media/frame_files/frame_animation.h"

namespace frame_files {

struct DecodeOptions {
    // Stop after the first picture (thumbnails): less work, same first frame.
    bool first_frame_only = false;
    // Upper bound of the animation's RGBA bytes; lower it to bound a decoration tighter.
    size_t max_bytes = kMaxAnimationBytes;
};

enum class FrameFileKind { Unknown, Bitmap, Gif, Flash };

// What the first bytes say the data is ("BM", "GIF87a"/"GIF89a", "FWS"/"CWS").
FrameFileKind DetectFrameFileKind(const uint8_t* data, size_t size);

// BMP: 8-bit palettised, 24-bit and 32-bit (BI_RGB, BI_BITFIELDS), bottom-up or
// top-down. A still: one frame of 1000 ms.
DecodeError DecodeBitmapFrame(const uint8_t* data, size_t size, FrameAnimation* out,
                              const DecodeOptions& options = {});

// GIF 87a/89a: every frame composed on the logical screen as browsers do
// (disposal 0-3, delays below 2 centiseconds shown as 10), NETSCAPE2.0 looping.
DecodeError DecodeGifFrames(const uint8_t* data, size_t size, FrameAnimation* out,
                            const DecodeOptions& options = {});

// SWF "FWS" and "CWS" (zlib): movies made of lossless bitmaps drawn through
// bitmap-filled shapes, placed and moved by the place-object tags, one picture per
// ShowFrame at the movie's frame rate. A movie with nothing drawable fails
// with NothingDrawable.
DecodeError DecodeFlashFrames(const uint8_t* data, size_t size, FrameAnimation* out,
                              const DecodeOptions& options = {});

// Chooses the decoder by DetectFrameFileKind; Unknown data is Unsupported,
// no data at all is Empty.
DecodeError DecodeFrameFile(const uint8_t* data, size_t size, FrameAnimation* out,
                            const DecodeOptions& options = {});

}  // namespace frame_files
