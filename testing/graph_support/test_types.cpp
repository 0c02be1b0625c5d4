#include "testing/graph_support/test_types.h"

#include <cstring>

#include <dvdmedia.h>

#include "dshow_base/video_media_type.h"

namespace graph_test {

using pixel_formats::PixelFormat;

const GUID& SubtypeFor(PixelFormat format) { return video_media::SubtypeOf(format); }

namespace {

DWORD CompressionFor(PixelFormat format) {
    if (format == PixelFormat::kRgb565) return BI_BITFIELDS;
    if (pixel_formats::IsRgb(format)) return BI_RGB;
    return SubtypeFor(format).Data1;  // the FOURCC
}

BITMAPINFOHEADER* Header(CMediaType* mt, bool videoInfo2, size_t extra) {
    const ULONG size = static_cast<ULONG>((videoInfo2 ? sizeof(VIDEOINFOHEADER2) : sizeof(VIDEOINFOHEADER)) + extra);
    BYTE* block = mt->AllocFormatBuffer(size);
    std::memset(block, 0, size);
    mt->SetFormatType(videoInfo2 ? &FORMAT_VideoInfo2 : &FORMAT_VideoInfo);
    return videoInfo2 ? &reinterpret_cast<VIDEOINFOHEADER2*>(block)->bmiHeader
                      : &reinterpret_cast<VIDEOINFOHEADER*>(block)->bmiHeader;
}

RECT* Target(CMediaType* mt) {
    return mt->formattype == FORMAT_VideoInfo2 ? &reinterpret_cast<VIDEOINFOHEADER2*>(mt->pbFormat)->rcTarget
                                               : &reinterpret_cast<VIDEOINFOHEADER*>(mt->pbFormat)->rcTarget;
}

}  // namespace

CMediaType MakeVideoType(const VideoTypeParams& params) {
    CMediaType mt(&MEDIATYPE_Video);
    const bool masks = params.format == PixelFormat::kRgb565;
    BITMAPINFOHEADER* bih = Header(&mt, params.videoInfo2, masks ? 12 : 0);
    const int bitmapWidth = params.bitmapWidth ? params.bitmapWidth : params.width;
    bih->biSize = sizeof(BITMAPINFOHEADER);
    bih->biWidth = bitmapWidth;
    bih->biHeight = params.height;
    bih->biPlanes = 1;
    bih->biBitCount = static_cast<WORD>(pixel_formats::BitsPerPixel(params.format));
    bih->biCompression = CompressionFor(params.format);
    const size_t size = pixel_formats::FrameSize(params.format, bitmapWidth, params.height);
    bih->biSizeImage = static_cast<DWORD>(size);
    if (masks) {
        const DWORD rgb565[3] = {0xF800, 0x07E0, 0x001F};
        std::memcpy(reinterpret_cast<BYTE*>(bih) + sizeof(BITMAPINFOHEADER), rgb565, sizeof rgb565);
    }
    if (bitmapWidth != params.width) {
        const int rows = params.height < 0 ? -params.height : params.height;
        *Target(&mt) = RECT{0, 0, params.width, rows};
    }
    mt.SetSubtype(&SubtypeFor(params.format));
    mt.SetTemporalCompression(FALSE);
    mt.SetSampleSize(static_cast<ULONG>(size));
    return mt;
}

CMediaType MakeOtherVideoType(const GUID& subtype, DWORD compression, WORD bitCount, int width, int height) {
    CMediaType mt(&MEDIATYPE_Video);
    BITMAPINFOHEADER* bih = Header(&mt, false, 0);
    bih->biSize = sizeof(BITMAPINFOHEADER);
    bih->biWidth = width;
    bih->biHeight = height;
    bih->biPlanes = 1;
    bih->biBitCount = bitCount;
    bih->biCompression = compression;
    bih->biSizeImage = static_cast<DWORD>(((width * bitCount + 31) / 32) * 4 * (height < 0 ? -height : height));
    mt.SetSubtype(&subtype);
    mt.SetSampleSize(bih->biSizeImage);
    return mt;
}

CMediaType MakeStreamType(ULONG sampleSize) {
    CMediaType mt(&MEDIATYPE_Stream);
    mt.SetSubtype(&MEDIASUBTYPE_NULL);
    mt.SetFormatType(&FORMAT_None);
    mt.SetSampleSize(sampleSize);
    return mt;
}

const BITMAPINFOHEADER* BitmapHeader(const AM_MEDIA_TYPE& mt) {
    if (!mt.pbFormat) return nullptr;
    if (mt.formattype == FORMAT_VideoInfo && mt.cbFormat >= sizeof(VIDEOINFOHEADER)) {
        return &reinterpret_cast<const VIDEOINFOHEADER*>(mt.pbFormat)->bmiHeader;
    }
    if (mt.formattype == FORMAT_VideoInfo2 && mt.cbFormat >= sizeof(VIDEOINFOHEADER2)) {
        return &reinterpret_cast<const VIDEOINFOHEADER2*>(mt.pbFormat)->bmiHeader;
    }
    return nullptr;
}

}  // namespace graph_test
