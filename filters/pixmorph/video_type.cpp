#include "filters/pixmorph/video_type.h"

#include <cstddef>
#include <cstring>

#include <dvdmedia.h>

const BITMAPINFOHEADER* VideoHeader(const AM_MEDIA_TYPE& mt) {
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

bool PipelineSubtype(const GUID& subtype, pixmorph::Subtype* out) {
    using pixmorph::Subtype;
    if (subtype == MEDIASUBTYPE_RGB24) {
        *out = Subtype::kRgb24;
    } else if (subtype == MEDIASUBTYPE_PixmorphI420) {
        *out = Subtype::kI420;
    } else if (subtype == MEDIASUBTYPE_YUYV) {
        *out = Subtype::kYuyv;
    } else if (subtype == MEDIASUBTYPE_YUY2) {
        *out = Subtype::kYuy2;
    } else if (subtype == MEDIASUBTYPE_UYVY) {
        *out = Subtype::kUyvy;
    } else {
        return false;
    }
    return true;
}

bool InputPicture(const AM_MEDIA_TYPE& mt, pixmorph::Picture* picture) {
    const BITMAPINFOHEADER* header = VideoHeader(mt);
    if (!header || !PipelineSubtype(mt.subtype, &picture->subtype)) return false;
    picture->width = header->biWidth;
    picture->height = header->biHeight;
    return true;
}

size_t TypeFrameBytes(const AM_MEDIA_TYPE& mt) {
    pixmorph::Picture picture;
    if (!InputPicture(mt, &picture)) return 0;
    return pixmorph::DeclaredFrameBytes(picture, VideoHeader(mt)->biSizeImage);
}

bool SameMediaType(const AM_MEDIA_TYPE& a, const AM_MEDIA_TYPE& b) {
    if (a.majortype != b.majortype || a.subtype != b.subtype || a.formattype != b.formattype) return false;
    if (a.cbFormat != b.cbFormat) return false;
    return a.cbFormat == 0 || (a.pbFormat && b.pbFormat && std::memcmp(a.pbFormat, b.pbFormat, a.cbFormat) == 0);
}
