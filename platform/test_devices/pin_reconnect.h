// Moves a connected output pin to a new media type, as a capture filter does
// when a client sets another format while its pin is connected.
#pragma once

#include "dshow_base/filter.h"
#include "dshow_base/pin.h"

namespace test_devices {

// Synchronous, through the filter's graph (Disconnect both ends, then
// ConnectDirect), rather than IFilterGraph2::ReconnectEx, which the
// documentation lets run later on another thread: a client may Run as soon
// as SetFormat returns. A peer that does not accept `type` leaves the
// connection untouched (VFW_E_INVALIDMEDIATYPE). Call with the filter
// stopped and its lock held.
HRESULT ReconnectWithType(CBaseFilter* filter, CBasePin* pin, const CMediaType& type);

}  // namespace test_devices
