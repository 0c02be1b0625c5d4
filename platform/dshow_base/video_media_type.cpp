#include "dshow_base/video_media_type.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

#include <dvdmedia.h>

#include "pixel_formats/bitmap_codes.h"

namespace video_media {

using pixel_formats::PixelFormat;

namespace {

constexpr size_t kMaskBytes = 3 * sizeof(DWORD);

// The parts of VIDEOINFOHEADER and VIDEOINFOHEADER2 the converter reads.
struct VideoBlock {
    const RECT* source;
    const RECT* target;
    REFERENCE_TIME avgTimePerFrame;
    const BITMAPINFOHEADER* header;
    const DWORD* masks;  // null when the block ends at the header
};

bool ReadVideoBlock(const AM_MEDIA_TYPE& mt, bool allowVideoInfo2, VideoBlock* out) {
    if (!mt.pbFormat) return false;
    if (mt.formattype == FORMAT_VideoInfo && mt.cbFormat >= sizeof(VIDEOINFOHEADER)) {
        const auto* vih = reinterpret_cast<const VIDEOINFOHEADER*>(mt.pbFormat);
        *out = {&vih->rcSource, &vih->rcTarget, vih->AvgTimePerFrame, &vih->bmiHeader, nullptr};
        if (mt.cbFormat >= sizeof(VIDEOINFOHEADER) + kMaskBytes) {
            out->masks = reinterpret_cast<const DWORD*>(mt.pbFormat + sizeof(VIDEOINFOHEADER));
        }
        return true;
    }
    if (allowVideoInfo2 && mt.formattype == FORMAT_VideoInfo2 &&
        mt.cbFormat >= sizeof(VIDEOINFOHEADER2)) {
        const auto* vih = reinterpret_cast<const VIDEOINFOHEADER2*>(mt.pbFormat);
        *out = {&vih->rcSource, &vih->rcTarget, vih->AvgTimePerFrame, &vih->bmiHeader, nullptr};
        if (mt.cbFormat >= sizeof(VIDEOINFOHEADER2) + kMaskBytes) {
            out->masks = reinterpret_cast<const DWORD*>(mt.pbFormat + sizeof(VIDEOINFOHEADER2));
        }
        return true;
    }
    return false;
}

// DIB rules: the header must describe the format the subtype names. Masks
// count only when the block carries them after a plain header.
bool HeaderDescribes(PixelFormat format, const BITMAPINFOHEADER& bih, const DWORD* masks) {
    pixel_formats::ColourMasks read{};
    const bool haveMasks = masks && bih.biSize == sizeof(BITMAPINFOHEADER);
    if (haveMasks) read = {masks[0], masks[1], masks[2]};
    const auto described =
        pixel_formats::FormatFromBitmapHeader(bih.biCompression, bih.biBitCount, haveMasks ? &read : nullptr);
    return described && *described == format;
}

bool RectIsEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

// The visible picture: the whole bitmap unless rcTarget narrows it to a
// left part of each row (a renderer's wider stride). Anything else would
// need cropping or placement, which the converter does not do.
bool VisibleSize(const VideoBlock& block, int64_t bitmapWidth, int64_t rows, int* width) {
    *width = static_cast<int>(bitmapWidth);
    const RECT& target = *block.target;
    if (!RectIsEmpty(target)) {
        if (target.left != 0 || target.top != 0 || target.right > bitmapWidth ||
            target.bottom != rows) {
            return false;
        }
        *width = target.right;
    }
    const RECT& source = *block.source;
    if (RectIsEmpty(source)) return true;
    return source.left == 0 && source.top == 0 && source.right == *width && source.bottom == rows;
}

}  // namespace

const GUID& SubtypeOf(PixelFormat format) {
    switch (format) {
        case PixelFormat::kYuy2: return MEDIASUBTYPE_YUY2;
        case PixelFormat::kUyvy: return MEDIASUBTYPE_UYVY;
        case PixelFormat::kI420: return kMediaSubtypeI420;
        case PixelFormat::kYv12: return MEDIASUBTYPE_YV12;
        case PixelFormat::kRgb24: return MEDIASUBTYPE_RGB24;
        case PixelFormat::kRgb32: return MEDIASUBTYPE_RGB32;
        case PixelFormat::kRgb565: return MEDIASUBTYPE_RGB565;
        case PixelFormat::kRgb555: return MEDIASUBTYPE_RGB555;
    }
    return GUID_NULL;
}

bool PixelFormatOf(const GUID& subtype, PixelFormat* format) {
    if (subtype == MEDIASUBTYPE_IYUV) {
        *format = PixelFormat::kI420;
        return true;
    }
    for (PixelFormat candidate : kConverterFormats) {
        if (subtype == SubtypeOf(candidate)) {
            *format = candidate;
            return true;
        }
    }
    return false;
}

HRESULT ParseVideoType(const AM_MEDIA_TYPE& mt, bool allowVideoInfo2, VideoFrameType* out) {
    PixelFormat format;
    VideoBlock block;
    if (mt.majortype != MEDIATYPE_Video || !PixelFormatOf(mt.subtype, &format) ||
        !ReadVideoBlock(mt, allowVideoInfo2, &block)) {
        return VFW_E_TYPE_NOT_ACCEPTED;
    }
    const BITMAPINFOHEADER& bih = *block.header;
    if (bih.biSize < sizeof(BITMAPINFOHEADER) || bih.biPlanes > 1 || !HeaderDescribes(format, bih, block.masks)) {
        return VFW_E_TYPE_NOT_ACCEPTED;
    }
    const int64_t rows = bih.biHeight < 0 ? -static_cast<int64_t>(bih.biHeight) : bih.biHeight;
    if (bih.biWidth <= 0 || bih.biWidth > pixel_formats::kMaxDimension || rows == 0 ||
        rows > pixel_formats::kMaxDimension) {
        return VFW_E_TYPE_NOT_ACCEPTED;
    }
    VideoFrameType parsed;
    int width = 0;
    if (!VisibleSize(block, bih.biWidth, rows, &width)) return VFW_E_TYPE_NOT_ACCEPTED;
    parsed.frame.format = format;
    parsed.frame.width = width;
    parsed.frame.height = bih.biHeight;
    parsed.frame.stride = static_cast<int>(pixel_formats::DefaultStride(format, bih.biWidth));
    if (!pixel_formats::ComputeFrameLayout(parsed.frame, &parsed.layout)) {
        return VFW_E_TYPE_NOT_ACCEPTED;
    }
    // A declared image size smaller than the layout would let samples end
    // before the picture does.
    if (bih.biSizeImage != 0 && bih.biSizeImage < parsed.layout.size) {
        return VFW_E_TYPE_NOT_ACCEPTED;
    }
    parsed.avgTimePerFrame = block.avgTimePerFrame;
    *out = parsed;
    return S_OK;
}

HRESULT BuildVideoType(const VideoFrameType& like, PixelFormat format, CMediaType* out) {
    const int rows = like.layout.height;
    const size_t imageSize = pixel_formats::FrameSize(format, like.frame.width, rows);
    if (imageSize == 0) return E_INVALIDARG;
    const bool bitfields = format == PixelFormat::kRgb565;
    const ULONG blockSize = sizeof(VIDEOINFOHEADER) + (bitfields ? kMaskBytes : 0);

    out->InitMediaType();
    BYTE* block = out->AllocFormatBuffer(blockSize);
    if (!block) return E_OUTOFMEMORY;
    std::memset(block, 0, blockSize);
    auto* vih = reinterpret_cast<VIDEOINFOHEADER*>(block);
    vih->AvgTimePerFrame = like.avgTimePerFrame;
    if (like.avgTimePerFrame > 0) {
        const uint64_t bits = static_cast<uint64_t>(imageSize) * 8 * 10000000ULL /
                              static_cast<uint64_t>(like.avgTimePerFrame);
        vih->dwBitRate = bits > 0xFFFFFFFFULL ? 0xFFFFFFFFUL : static_cast<DWORD>(bits);
    }
    BITMAPINFOHEADER& bih = vih->bmiHeader;
    bih.biSize = sizeof(BITMAPINFOHEADER);
    bih.biWidth = like.frame.width;
    bih.biHeight = rows;
    bih.biPlanes = 1;
    bih.biBitCount = static_cast<WORD>(pixel_formats::BitsPerPixel(format));
    bih.biCompression = pixel_formats::CompressionOf(format);
    bih.biSizeImage = static_cast<DWORD>(imageSize);
    if (bitfields) {
        const pixel_formats::ColourMasks& m = pixel_formats::kRgb565Masks;
        const DWORD masks[3] = {m.red, m.green, m.blue};
        std::memcpy(block + sizeof(VIDEOINFOHEADER), masks, kMaskBytes);
    }

    out->SetType(&MEDIATYPE_Video);
    out->SetSubtype(&SubtypeOf(format));
    out->SetFormatType(&FORMAT_VideoInfo);
    out->SetTemporalCompression(FALSE);
    out->SetSampleSize(static_cast<ULONG>(imageSize));
    return S_OK;
}

const BITMAPINFOHEADER* BitmapHeaderOf(const AM_MEDIA_TYPE& mt) {
    size_t offset = 0;
    if (mt.formattype == FORMAT_VideoInfo) {
        offset = offsetof(VIDEOINFOHEADER, bmiHeader);
    } else if (mt.formattype == FORMAT_VideoInfo2) {
        offset = offsetof(VIDEOINFOHEADER2, bmiHeader);
    } else {
        return nullptr;
    }
    if (!mt.pbFormat || mt.cbFormat < offset + sizeof(BITMAPINFOHEADER)) return nullptr;
    return reinterpret_cast<const BITMAPINFOHEADER*>(mt.pbFormat + offset);
}

bool SameMediaType(const AM_MEDIA_TYPE& a, const AM_MEDIA_TYPE& b) {
    if (a.majortype != b.majortype || a.subtype != b.subtype || a.formattype != b.formattype) return false;
    if (a.cbFormat != b.cbFormat) return false;
    return a.cbFormat == 0 || (a.pbFormat && b.pbFormat && std::memcmp(a.pbFormat, b.pbFormat, a.cbFormat) == 0);
}

}  // namespace video_media
