// What the converter filter's Windows tests build graphs from: the shared
// source scripted with what a test lists (sizes listed, frames of any length,
// types attached to samples), the shared sink taking RGB24, and the shared
// test graph around them.
#pragma once

#include <windows.h>
#include <dshow.h>

#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "dshow_base/streams.h"
#include "filters/pixmorph/PixmorphFilter.h"
#include "testing/graph_support/test_graph.h"
#include "testing/graph_support/test_sink.h"
#include "testing/graph_support/test_source.h"

namespace pixmorph_test {

// Video type with a VIDEOINFOHEADER: RGB24 (bottom-up for positive heights),
// YUY2, UYVY, YUYV or I420, with its biSizeImage as a fixed sample size.
CMediaType VideoType(const GUID& subtype, int width, int height);
// Bytes of one frame of that type.
long FrameBytes(const GUID& subtype, int width, int height);

// A filter made by the module's own creation function (as its class factory would).
ComPtr<IBaseFilter> CreatePixmorph(CPixmorph** raw = nullptr);
IPin* PinOf(IBaseFilter* filter, int index);  // not AddRef'd: the filter owns its pins

struct ScriptedFrame {
    int width;
    int height;
    bool attachType = false;  // the sample carries the type of this size
    long length = -1;         // actual length; -1: the frame's size
};

struct SourceScript {
    GUID subtype = MEDIASUBTYPE_YUY2;
    struct Size {
        int width, height;
    };
    std::vector<Size> listed;  // the pin's enumerator, in order
    std::vector<ScriptedFrame> frames;
};

using graph_test::CTestSink;
using graph_test::CTestSource;
using graph_test::ReceivedFrame;

// The shared source's script for a test's script: the listed sizes as types of the
// script's subtype, each frame's bytes (its size's unless set) and attached type.
CTestSource::Script ScriptOf(const SourceScript& script);

// The shared sink taking 24-bit RGB with a VIDEOINFOHEADER, as a renderer would.
ComPtr<IBaseFilter> CreateRgbSink(CTestSink** raw);

// The converter's output for one input frame, computed by the core directly.
std::vector<uint8_t> ExpectedOutput(const std::vector<uint8_t>& input, const GUID& subtype, int width, int height,
                                    int outWidth, int outHeight, bool multiple = false, int mx = 1, int my = 1);

// Joins a COM apartment per test and checks that no base-class object outlives it.
class FilterTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

private:
    HRESULT com_ = E_FAIL;
    LONG objectsAtStart_ = 0;
};

// A filter made by CreateInstance in a graph with a sink; tests add a source.
class PixmorphGraphTest : public FilterTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // A scripted source added to the graph and connected to the filter's
    // input with `connectAt` (the first listed size when null).
    HRESULT ConnectSource(const SourceScript& script, const CMediaType* connectAt = nullptr);
    // A source listing one size, connected with it.
    HRESULT ConnectSource(const GUID& subtype, int width, int height, bool variableSize = false,
                          long sampleSize = 0);
    HRESULT ConnectSink() { return graph_.ConnectDirect(Out(), sink_->Input()); }
    // Runs until the sink saw the end of the stream, then stops.
    HRESULT RunToEnd(DWORD timeoutMs = 10000);
    // The filter's first proposal; invalid when there is none.
    CMediaType ProposedType();
    // Width and height of the connected output type; 0 when unconnected.
    int OutputWidth();
    int OutputHeight();
    // How often the graph reported EC_PIXMORPH_INPUT_RESIZED, from the events so far.
    int ResizeEvents();

    IPin* In() { return PinOf(filter_.Get(), 0); }
    IPin* Out() { return PinOf(filter_.Get(), 1); }

    graph_test::TestGraph graph_;  // without a clock, so sources run flat out
    ComPtr<IBaseFilter> filter_, sourceFilter_, sinkFilter_;
    ComPtr<IPixmorphControl> control_;
    CPixmorph* pixmorph_ = nullptr;
    CTestSource* source_ = nullptr;
    CTestSink* sink_ = nullptr;
    std::vector<long> events_;
};

}  // namespace pixmorph_test
