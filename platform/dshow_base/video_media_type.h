// Uncompressed video media types as our filters and devices see them: which
// pixel format a type carries, the frame geometry its format block implies,
// and types built for a given picture. The one place our subtypes are named.
#pragma once

#include <windows.h>
#include <dshow.h>

#include "dshow_base/media_type.h"
#include "pixel_formats/pixel_format.h"

namespace video_media {

// The picture a media type describes and how it lies in a sample buffer.
struct VideoFrameType {
    pixel_formats::FrameFormat frame{};  // visible size, orientation and buffer stride
    pixel_formats::FrameLayout layout{};  // computed from frame: sample size and planes
    REFERENCE_TIME avgTimePerFrame = 0;
};

// FOURCC subtype of planar 4:2:0 Y, U, V (MinGW's uuids.h does not declare it).
inline constexpr GUID kMediaSubtypeI420 = {
    0x30323449, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// Subtypes handled, in the order the converter offers them downstream:
// RGB first, since renderers and multiplexers that take only RGB look at the
// head of the list.
inline constexpr pixel_formats::PixelFormat kConverterFormats[] = {
    pixel_formats::PixelFormat::kRgb32, pixel_formats::PixelFormat::kRgb24,
    pixel_formats::PixelFormat::kRgb565, pixel_formats::PixelFormat::kYuy2,
    pixel_formats::PixelFormat::kUyvy,  pixel_formats::PixelFormat::kI420,
};
inline constexpr int kConverterFormatCount =
    sizeof(kConverterFormats) / sizeof(kConverterFormats[0]);

const GUID& SubtypeOf(pixel_formats::PixelFormat format);
// False for subtypes outside kConverterFormats (IYUV counts as I420).
bool PixelFormatOf(const GUID& subtype, pixel_formats::PixelFormat* format);

// Reads a media type. FORMAT_VideoInfo always; FORMAT_VideoInfo2 only when
// allowVideoInfo2. The picture is the whole bitmap, or rcTarget when that is
// set (biWidth then gives the stride); rcTarget must start at the origin.
// VFW_E_TYPE_NOT_ACCEPTED for anything else, including malformed blocks.
HRESULT ParseVideoType(const AM_MEDIA_TYPE& mt, bool allowVideoInfo2, VideoFrameType* out);

// A FORMAT_VideoInfo type for `format` at the picture size of `like`, with
// the default DIB stride, RGB bottom-up, and like's frame rate.
HRESULT BuildVideoType(const VideoFrameType& like, pixel_formats::PixelFormat format,
                       CMediaType* out);

// The BITMAPINFOHEADER of a FORMAT_VideoInfo or FORMAT_VideoInfo2 block; null
// for other formats and for a block too short to hold it. No field is checked.
const BITMAPINFOHEADER* BitmapHeaderOf(const AM_MEDIA_TYPE& mt);

// Same major type, subtype, format type and format bytes.
bool SameMediaType(const AM_MEDIA_TYPE& a, const AM_MEDIA_TYPE& b);

}  // namespace video_media
