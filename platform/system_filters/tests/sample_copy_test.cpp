// What the tee gives an output that insists on its own buffers: a copy that
// downstream cannot tell from the original, or nothing at all.
#include <gtest/gtest.h>

#include "testing/graph_support/guarded_sample.h"
#include "system_filters/sample_copy.h"
#include "testing/graph_support/test_source.h"
#include "testing/graph_support/test_types.h"

namespace graph_test {
namespace {

using system_filters::CopySample;

TEST(SampleCopy, CarriesPayloadTimesFlagsAndType) {
    GuardedSample src(100);
    const std::vector<uint8_t> pattern = FramePattern(7, 100);
    std::copy(pattern.begin(), pattern.end(), src.Data());
    src.SetActualDataLength(90);
    REFERENCE_TIME start = 1000, stop = 2000;
    src.SetTime(&start, &stop);
    LONGLONG mediaStart = 5, mediaStop = 6;
    src.SetMediaTime(&mediaStart, &mediaStop);
    src.SetSyncPoint(TRUE);
    src.SetDiscontinuity(TRUE);
    const CMediaType type = MakeStreamType(90);
    src.SetMediaType(const_cast<CMediaType*>(&type));

    GuardedSample dst(120, 0);
    ASSERT_EQ(S_OK, CopySample(&src, &dst));
    EXPECT_EQ(90, dst.GetActualDataLength());
    EXPECT_TRUE(std::equal(pattern.begin(), pattern.begin() + 90, dst.Data()));
    EXPECT_EQ(0, dst.Data()[90]);  // nothing beyond the payload
    REFERENCE_TIME gotStart = 0, gotStop = 0;
    ASSERT_EQ(S_OK, dst.GetTime(&gotStart, &gotStop));
    EXPECT_EQ(1000, gotStart);
    EXPECT_EQ(2000, gotStop);
    ASSERT_EQ(S_OK, dst.GetMediaTime(&mediaStart, &mediaStop));
    EXPECT_EQ(5, mediaStart);
    EXPECT_EQ(S_OK, dst.IsSyncPoint());
    EXPECT_EQ(S_OK, dst.IsDiscontinuity());
    EXPECT_EQ(S_FALSE, dst.IsPreroll());
    ASSERT_TRUE(dst.typeSet);
    EXPECT_TRUE(dst.type == type);
}

TEST(SampleCopy, StartTimeWithoutStopStaysThat) {
    GuardedSample src(10), dst(10);
    src.SetActualDataLength(10);
    REFERENCE_TIME start = 42;
    src.SetTime(&start, nullptr);
    ASSERT_EQ(S_OK, CopySample(&src, &dst));
    REFERENCE_TIME gotStart = 0, gotStop = 0;
    EXPECT_EQ(VFW_S_NO_STOP_TIME, dst.GetTime(&gotStart, &gotStop));
    EXPECT_EQ(42, gotStart);
    EXPECT_FALSE(dst.typeSet);
}

TEST(SampleCopy, RefusesASmallerBufferUntouched) {
    GuardedSample src(100, 0x77);
    src.SetActualDataLength(100);
    GuardedSample dst(99, 0x11);
    EXPECT_EQ(VFW_E_BUFFER_OVERFLOW, CopySample(&src, &dst));
    EXPECT_TRUE(dst.Untouched(0x11));
    EXPECT_TRUE(dst.GuardsIntact());
    EXPECT_EQ(0, dst.GetActualDataLength());
}

}  // namespace
}  // namespace graph_test
