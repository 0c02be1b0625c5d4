#include "test_devices/pin_reconnect.h"

#include <vfwmsgs.h>

namespace test_devices {

HRESULT ReconnectWithType(CBaseFilter* filter, CBasePin* pin, const CMediaType& type) {
    if (!pin->IsConnected()) return S_OK;
    if (type == pin->CurrentMediaType()) return S_OK;
    ComPtr<IPin> peer(pin->GetConnected());
    if (peer->QueryAccept(&type) != S_OK) return VFW_E_INVALIDMEDIATYPE;
    ComPtr<IFilterGraph> graph(filter->GetFilterGraph());
    if (!graph) return VFW_E_NOT_IN_GRAPH;
    RETURN_IF_FAILED(graph->Disconnect(peer.Get()));
    RETURN_IF_FAILED(graph->Disconnect(pin));
    return graph->ConnectDirect(pin, peer.Get(), &type);
}

}  // namespace test_devices
