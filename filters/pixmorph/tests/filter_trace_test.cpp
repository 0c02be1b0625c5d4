// The filter's trace lines as the "DebugHelper " window receives them, and
// nothing at all without that window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "filters/pixmorph/tests/filter_test_graph.h"
#include "narrow_text/debug_text.h"
#include "testing/window_harness/trace_window.h"

namespace pixmorph_test {
namespace {

using PixmorphTrace = FilterTest;

TEST_F(PixmorphTrace, NothingIsSentWithoutTheHelperWindow) {
    ASSERT_EQ(nullptr, FindWindowA(nullptr, "DebugHelper "));
    SendDebugText("lost %d", 1);
    harness::TraceWindow trace;
    EXPECT_TRUE(trace.Lines().empty()) << "a line sent before the window came";
}

TEST_F(PixmorphTrace, FilterAndInputPinTraceTheirCalls) {
    harness::TraceWindow trace;
    SendDebugText("%s %d", "formatted", 42);
    ASSERT_EQ(1u, trace.Lines().size());
    EXPECT_EQ("formatted 42", trace.Lines()[0]);
    trace.Clear();

    ComPtr<IBaseFilter> filter = CreatePixmorph();
    ASSERT_TRUE(filter);
    IPin* in = PinOf(filter.Get(), 0);
    ComPtr<IPinConnection> dynamic;
    ASSERT_EQ(S_OK, in->QueryInterface(IID_IPinConnection, dynamic.PutVoid()));
    const CMediaType yuy2 = VideoType(MEDIASUBTYPE_YUY2, 64, 48);
    EXPECT_EQ(S_OK, dynamic->DynamicQueryAccept(&yuy2));
    EXPECT_EQ(S_OK, dynamic->NotifyEndOfStream(nullptr));
    EXPECT_EQ(S_FALSE, dynamic->IsEndPin());
    EXPECT_EQ(S_OK, dynamic->DynamicDisconnect());
    dynamic.Reset();
    filter.Reset();

    const std::vector<std::string> expected = {
        "Constructor",
        "CVideoInputPin::NonDelegatingQueryInterface, {4A9A62D3-27D4-403D-91E9-89F540E55534}",
        "DynamicQueryAccept",
        "NotifyEndOfStream",
        "IsEndPin",
        "DynamicDisconnect",
        "Destructor",
    };
    EXPECT_EQ(expected, trace.Lines());
}

}  // namespace
}  // namespace pixmorph_test
