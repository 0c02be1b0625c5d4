#include "filters/snapshot/snapshot_writer.h"

#include <dshow.h>

#include <string>
#include <vector>

#include "dshow_base/com_ptr.h"
#include "filters/snapshot/frame_pictures.h"
#include "filters/snapshot/jpeg_encoder.h"
#include "filters/snapshot/replace_file.h"
#include "filters/snapshot/request_check.h"

namespace snapshot {

namespace {

// The record's path is in the ANSI code page; the file functions get the
// same name in UTF-16.
HRESULT WidePath(const char* ansi, std::wstring* wide) {
    const int length = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, ansi, -1, nullptr, 0);
    if (length <= 1) return E_INVALIDARG;
    wide->resize(static_cast<size_t>(length));
    if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, ansi, -1, &(*wide)[0], length) != length) {
        return E_INVALIDARG;
    }
    wide->resize(static_cast<size_t>(length - 1));  // drop the terminator
    return S_OK;
}

HRESULT BitmapFile(const LatestFrame& frame, std::vector<uint8_t>* file) {
    bool converted = false;
    const bool had = frame.Read([&](const pixel_formats::FrameFormat& format, const uint8_t* data, size_t size) {
        converted = EncodeBmp24(data, size, format, file);
    });
    if (!had) return VFW_E_WRONG_STATE;
    return converted ? S_OK : E_FAIL;
}

HRESULT JpegFile(const LatestFrame& frame, int32_t quality, std::vector<uint8_t>* file) {
    BgrPicture picture;
    bool converted = false;
    // Only the conversion holds the stream's lock; encoding works on our copy.
    const bool had = frame.Read([&](const pixel_formats::FrameFormat& format, const uint8_t* data, size_t size) {
        converted = ToTopDownBgr(data, size, format, &picture);
    });
    if (!had) return VFW_E_WRONG_STATE;
    if (!converted) return E_FAIL;
    return EncodeJpeg(picture, JpegQualityFactor(quality), file);
}

}  // namespace

HRESULT WriteSnapshot(const LatestFrame& frame, const SnapshotRequest& request) {
    if (CheckRequest(request.size, request.format, request.path) != RequestProblem::kNone) return E_INVALIDARG;
    std::wstring path;
    RETURN_IF_FAILED(WidePath(request.path, &path));
    std::vector<uint8_t> file;
    if (request.format == kSnapshotBitmap) {
        RETURN_IF_FAILED(BitmapFile(frame, &file));
    } else {
        RETURN_IF_FAILED(JpegFile(frame, request.quality, &file));
    }
    return ReplaceFileWith(path, file.data(), file.size());
}

}  // namespace snapshot
