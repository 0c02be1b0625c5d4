#include "filters/pixmorph/pipeline_types.h"

#include <cstddef>

bool PipelineSubtype(const GUID& subtype, pixmorph::Subtype* out) {
    using pixmorph::Subtype;
    if (subtype == MEDIASUBTYPE_RGB24) {
        *out = Subtype::kRgb24;
    } else if (subtype == video_media::kMediaSubtypeI420) {
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
    const BITMAPINFOHEADER* header = BitmapHeaderOf(mt);
    if (!header || !PipelineSubtype(mt.subtype, &picture->subtype)) return false;
    picture->width = header->biWidth;
    picture->height = header->biHeight;
    return true;
}

size_t TypeFrameBytes(const AM_MEDIA_TYPE& mt) {
    pixmorph::Picture picture;
    if (!InputPicture(mt, &picture)) return 0;
    return pixmorph::DeclaredFrameBytes(picture, BitmapHeaderOf(mt)->biSizeImage);
}
