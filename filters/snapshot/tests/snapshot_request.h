// The request record a host fills, for the snapshot tests.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

#include "filters/snapshot/snapshot_api.h"

namespace snapshot_test {

inline SnapshotRequest MakeRequest(const std::string& path, uint32_t format, int32_t quality = 90) {
    SnapshotRequest request;
    std::memset(&request, 0, sizeof request);
    request.size = sizeof request;
    request.format = format;
    std::strncpy(request.path, path.c_str(), sizeof request.path - 1);
    request.quality = quality;
    return request;
}

}  // namespace snapshot_test
