// What a snapshot request record may carry, checked without Win32: the
// filter refuses a malformed record before touching the frame or the disk.
#pragma once

#include <cstddef>
#include <cstdint>

namespace snapshot {

inline constexpr uint32_t kRequestSize = 272;
inline constexpr size_t kRequestPathBytes = 260;

enum class RequestProblem {
    kNone,
    kWrongSize,          // the size field is not kRequestSize
    kUnterminatedPath,   // no NUL within the path's bytes
    kEmptyPath,
    kUnknownFormat,      // neither bitmap (1) nor JPEG (2)
};

// `path` points to the record's kRequestPathBytes path bytes.
RequestProblem CheckRequest(uint32_t size, uint32_t format, const char* path);

// The WIC "ImageQuality" value for the record's 0..100 quality; values
// outside that range are clamped rather than refused, since the capture
// application passes its setting through unchecked.
float JpegQualityFactor(int32_t quality);

}  // namespace snapshot
