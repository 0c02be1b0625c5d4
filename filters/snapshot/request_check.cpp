#include "filters/snapshot/request_check.h"

#include <cstring>

namespace snapshot {

RequestProblem CheckRequest(uint32_t size, uint32_t format, const char* path) {
    if (size != kRequestSize) return RequestProblem::kWrongSize;
    if (!std::memchr(path, '\0', kRequestPathBytes)) return RequestProblem::kUnterminatedPath;
    if (path[0] == '\0') return RequestProblem::kEmptyPath;
    if (format != 1 && format != 2) return RequestProblem::kUnknownFormat;
    return RequestProblem::kNone;
}

float JpegQualityFactor(int32_t quality) {
    if (quality <= 0) return 0.0f;
    if (quality >= 100) return 1.0f;
    return static_cast<float>(quality) / 100.0f;
}

}  // namespace snapshot
