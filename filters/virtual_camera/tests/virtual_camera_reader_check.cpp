// One program that opens "Talvoro Pelloquin" as any other program would,
// while a sender of this or the other width runs Lumivox with the Invert
// effect (setup_test.py starts both, and readers of both widths at once).
// It must get the sender's decorated picture, moving, from the device module
// of its own width, and says how long frames took from the send filter to it.
#include <windows.h>
#include <dshow.h>

#include <cstdio>
#include <optional>
#include <vector>

#include <gtest/gtest.h>

#include "filters/virtual_camera/virtual_camera_ids.h"
#include "media/frame_channel/tests/channel_watch.h"
#include "test_devices/tests/capture_graph.h"
#include "testing/graph_support/test_graph.h"
#include "testing/window_harness/waiting.h"

namespace {

using test_devices::CaptureGraph;
using test_devices::ReceivedSample;

struct Counters {
    std::optional<uint32_t> plain, inverted;
};

std::vector<Counters> Read(const CaptureGraph& graph, size_t from) {
    const CMediaType type = graph.ConnectedType();
    const auto* info = reinterpret_cast<const VIDEOINFOHEADER*>(type.pbFormat);
    const pixel_formats::FrameFormat format{pixel_formats::PixelFormat::kRgb24, info->bmiHeader.biWidth,
                                            info->bmiHeader.biHeight};
    std::vector<Counters> counters;
    const std::vector<ReceivedSample> samples = graph.Samples();
    for (size_t i = from; i < samples.size(); ++i) {
        const uint8_t* data = samples[i].data.data();
        const size_t size = samples[i].data.size();
        counters.push_back({channel_test::FrameCounter(data, size, format, false),
                            channel_test::FrameCounter(data, size, format, true)});
    }
    return counters;
}

}  // namespace

TEST(VirtualCameraReader, ShowsTheSendersInvertedPictureMoving) {
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
    {
        channel_test::SentFrameLog sent;
        ComPtr<IBaseFilter> device;
        ASSERT_EQ(graph_test::BindDevice(CLSID_VideoInputDeviceCategory, kVirtualCameraName, &device), S_OK)
            << "no \"Talvoro Pelloquin\" for this width";
        CaptureGraph graph;
        ASSERT_EQ(graph.Build(device.Get()), S_OK);
        ASSERT_EQ(graph.ConnectedType().subtype, MEDIASUBTYPE_RGB24);
        ASSERT_TRUE(SUCCEEDED(graph.Run()));
        // The sender may still be starting: wait for its picture, then take 60 frames.
        ASSERT_TRUE(harness::WaitUntil(
            [&] {
                const size_t n = graph.SampleCount();
                return n > 0 && Read(graph, n - 1).back().inverted.has_value();
            },
            30000))
            << "the sender's inverted picture never came";
        const size_t first = graph.SampleCount();
        ASSERT_TRUE(harness::WaitUntil([&] { return graph.SampleCount() >= first + 60; }, 15000));
        graph.Stop();

        const std::vector<Counters> counters = Read(graph, first);
        std::vector<uint32_t> inverted;
        size_t plain = 0;
        for (const Counters& c : counters) {
            if (c.inverted) inverted.push_back(*c.inverted);
            plain += c.plain.has_value();
        }
        EXPECT_EQ(plain, 0u) << "undecorated frames";
        ASSERT_GE(inverted.size(), counters.size() * 9 / 10) << "frames without the sender's picture";
        EXPECT_GT(inverted.back(), inverted.front()) << "the picture does not move";
        for (size_t i = 1; i < inverted.size(); ++i) EXPECT_GE(inverted[i], inverted[i - 1]);

        std::vector<std::pair<std::optional<uint32_t>, double>> delivered;
        const std::vector<ReceivedSample> samples = graph.Samples();
        for (size_t i = first; i < samples.size(); ++i)
            delivered.push_back({counters[i - first].inverted, samples[i].arrival * 1e6});
        char what[64];
        std::snprintf(what, sizeof what, "%u-bit reader, RGB24 640x480",
                      static_cast<unsigned>(sizeof(void*) * 8));
        sent.PrintLatency(what, delivered);
        std::printf("[ figures  ] %u-bit reader: frames %u to %u of the pattern in %zu samples\n",
                    static_cast<unsigned>(sizeof(void*) * 8), inverted.front(), inverted.back(), samples.size() - first);
    }
    CoUninitialize();
}
