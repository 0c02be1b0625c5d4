// What the MPEG filter tests add to the shared graph support: the
// encoder's interfaces called by vtable slot (as a host built from the slot
// numbers alone would), and reading back what the sink wrote.
#pragma once

#include <windows.h>
#include <dshow.h>

#include <cstdint>
#include <string>
#include <vector>

#include "filters/mpeg/encoder_settings.h"
#include "testing/graph_support/test_files.h"
#include "testing/graph_support/test_graph.h"

namespace mpeg_filters_test {

using graph_test::FileExists;
using graph_test::OutputPath;
using graph_test::ReadWholeFile;
using graph_test::SetCameraFormat;
using graph_test::StopEveryFilter;
using graph_test::WaitForEvent;

// Calls method `slot` of an interface pointer directly through its vtable.
template <typename... Args>
HRESULT CallSlot(IUnknown* object, int slot, Args... args) {
    using Method = HRESULT(STDMETHODCALLTYPE*)(IUnknown*, Args...);
    Method method = reinterpret_cast<Method>((*reinterpret_cast<void***>(object))[slot]);
    return method(object, args...);
}

// The capture engine's encoder set-up: block from slot 12, quality into its
// bits, slot 8 with 1, 1, 0, block back through slot 13, then the parameter
// slot 4 with 96, 1. The engine looks at the last result only.
struct EngineSetup {
    HRESULT settingsInterface = E_FAIL;
    HRESULT getBlock = E_FAIL;
    HRESULT structure = E_FAIL;
    HRESULT setBlock = E_FAIL;
    HRESULT paramsInterface = E_FAIL;
    HRESULT param = E_FAIL;
};
EngineSetup ConfigureEncoderLikeTheEngine(IBaseFilter* encoder, int quality);


// Start codes found in an MPEG-1 system stream, in order (0xBA pack, 0xBB
// system header, 0xE0 video, 0xC0 audio, 0xB9 end...); the scan follows the
// packet lengths so that payload bytes are never taken for start codes.
struct SystemStreamSummary {
    int packs = 0;
    int videoPackets = 0;
    int audioPackets = 0;
    bool endCodeLast = false;
    std::string problem;  // empty when the structure holds together
};
SystemStreamSummary ScanSystemStream(const std::vector<uint8_t>& bytes);

}  // namespace mpeg_filters_test

namespace mpeg_filters_test {

// What an MPEG-1 video elementary stream sample starts with.
struct SequenceHeader {
    bool present = false;
    int width = 0;
    int height = 0;
    int bitRate = 0;  // bits/s
};
// The first sequence header in the bytes, if any.
SequenceHeader FindSequenceHeader(const std::vector<uint8_t>& bytes);
// picture_coding_type of the first picture in the bytes (1 I, 2 P), or 0.
int FirstPictureType(const std::vector<uint8_t>& bytes);

}  // namespace mpeg_filters_test
