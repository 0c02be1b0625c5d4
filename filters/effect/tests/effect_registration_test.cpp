// The registered module as hosts meet it: the registry entries regsvr32 left,
// the pins, and which input types it takes.
#include <gtest/gtest.h>

#include <cstring>

#include "dshow_base/com_ptr.h"
#include "dshow_base/tests/registry_probe.h"
#include "filters/effect/effect_filter_api.h"
#include "testing/graph_support/test_graph.h"
#include "testing/graph_support/test_types.h"

namespace effect_filter {
namespace {

using pixel_formats::PixelFormat;
using graph_test::MakeVideoType;

TEST(EffectRegistration, ClassAndFilterEntriesNameTheModule) {
    const std::wstring classKey = ClassKey(CLSID_EffectFilter);
    EXPECT_EQ(L"Effect Filter", StringValue(classKey, nullptr));
    std::wstring server = StringValue(classKey + L"\\InprocServer32", nullptr);
    CharLowerW(&server[0]);
    ASSERT_GE(server.size(), 17u);
    EXPECT_EQ(L"\\effectfilter.ax", server.substr(server.size() - 16));
    EXPECT_EQ(L"Both", StringValue(classKey + L"\\InprocServer32", L"ThreadingModel"));
    const std::wstring instance = InstanceKey(CLSID_LegacyAmFilterCategory, GuidText(CLSID_EffectFilter));
    EXPECT_EQ(L"Effect Filter", StringValue(instance, L"FriendlyName"));
}

class EffectTypes : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
        com_ = true;
        ASSERT_EQ(S_OK, CoCreateInstance(CLSID_EffectFilter, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                         filter_.PutVoid()));
        ASSERT_EQ(S_OK, filter_->FindPin(L"In", input_.Put()));
    }
    void TearDown() override {
        input_.Reset();
        filter_.Reset();
        if (com_) CoUninitialize();
    }
    bool com_ = false;
    ComPtr<IBaseFilter> filter_;
    ComPtr<IPin> input_;
};

TEST_F(EffectTypes, OneInputAndOneOutputPinTakingRgb24Yuy2AndI420UpTo4096) {
    EXPECT_EQ(2u, graph_test::PinNames(filter_.Get()).size());
    ComPtr<IPin> output;
    EXPECT_EQ(S_OK, filter_->FindPin(L"Out", output.Put()));
    for (PixelFormat format : {PixelFormat::kRgb24, PixelFormat::kYuy2, PixelFormat::kI420}) {
        for (auto [w, h] : {std::pair{320, 240}, {640, 480}, {2, 2}, {4096, 2}, {176, -144}}) {
            if (h < 0 && format != PixelFormat::kRgb24) continue;
            const CMediaType type = MakeVideoType({format, w, h});
            EXPECT_EQ(S_OK, input_->QueryAccept(&type)) << pixel_formats::PixelFormatName(format) << " " << w << "x" << h;
        }
        const CMediaType wide = MakeVideoType({format, 4098, 2});
        EXPECT_NE(S_OK, input_->QueryAccept(&wide)) << pixel_formats::PixelFormatName(format);
    }
    for (PixelFormat format : {PixelFormat::kRgb32, PixelFormat::kUyvy, PixelFormat::kRgb565}) {
        const CMediaType type = MakeVideoType({format, 320, 240});
        EXPECT_NE(S_OK, input_->QueryAccept(&type)) << pixel_formats::PixelFormatName(format);
    }
    EXPECT_NE(S_OK, input_->QueryAccept(&static_cast<const CMediaType&>(graph_test::MakeStreamType(4096))));
}

}  // namespace
}  // namespace effect_filter
