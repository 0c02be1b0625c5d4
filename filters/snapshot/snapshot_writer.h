// Carries out one snapshot request: checks the record, turns the kept frame
// into a BMP or JPEG file and puts it under the requested name.
#pragma once

#include <windows.h>

#include "filters/snapshot/latest_frame.h"
#include "filters/snapshot/snapshot_api.h"

namespace snapshot {

// E_INVALIDARG for a malformed record (size, path, format), an error
// HRESULT naming the step that failed otherwise (VFW_E_WRONG_STATE: no frame
// yet). May throw std::bad_alloc.
HRESULT WriteSnapshot(const LatestFrame& frame, const SnapshotRequest& request);

}  // namespace snapshot
