// Which request records the filter turns away before doing any work.
#include <gtest/gtest.h>

#include <cstring>

#include "filters/snapshot/request_check.h"

namespace snapshot {
namespace {

struct Path {
    char bytes[kRequestPathBytes];
    explicit Path(const char* text) {
        std::memset(bytes, 0, sizeof bytes);
        std::strncpy(bytes, text, sizeof bytes - 1);
    }
};

TEST(RequestCheck, OnlyTheExactRecordSizeIsTaken) {
    const Path path("C:\\pictures\\a.bmp");
    EXPECT_EQ(RequestProblem::kNone, CheckRequest(272, 1, path.bytes));
    for (uint32_t size : {0u, 4u, 271u, 273u, 544u, 0xFFFFFFFFu}) {
        EXPECT_EQ(RequestProblem::kWrongSize, CheckRequest(size, 1, path.bytes)) << size;
    }
}

TEST(RequestCheck, WrongSizeIsReportedBeforeThePathIsRead) {
    // A caller with another idea of the record may not even have a path there.
    char unterminated[kRequestPathBytes];
    std::memset(unterminated, 'x', sizeof unterminated);
    EXPECT_EQ(RequestProblem::kWrongSize, CheckRequest(271, 7, unterminated));
}

TEST(RequestCheck, PathMustEndWithinItsBytes) {
    char path[kRequestPathBytes];
    std::memset(path, 'a', sizeof path);
    EXPECT_EQ(RequestProblem::kUnterminatedPath, CheckRequest(272, 1, path));
    path[kRequestPathBytes - 1] = '\0';  // 259 characters and the terminator: the longest that fits
    EXPECT_EQ(RequestProblem::kNone, CheckRequest(272, 1, path));
    path[0] = '\0';
    EXPECT_EQ(RequestProblem::kEmptyPath, CheckRequest(272, 1, path));
}

TEST(RequestCheck, BitmapAndJpegAreTheOnlyFormats) {
    const Path path("a.jpg");
    EXPECT_EQ(RequestProblem::kNone, CheckRequest(272, 1, path.bytes));
    EXPECT_EQ(RequestProblem::kNone, CheckRequest(272, 2, path.bytes));
    for (uint32_t format : {0u, 3u, 0x80000001u, 0xFFFFFFFFu}) {
        EXPECT_EQ(RequestProblem::kUnknownFormat, CheckRequest(272, format, path.bytes)) << format;
    }
}

TEST(RequestCheck, JpegQualityMapsPercentToUnitRangeAndClamps) {
    EXPECT_FLOAT_EQ(0.0f, JpegQualityFactor(0));
    EXPECT_FLOAT_EQ(0.1f, JpegQualityFactor(10));
    EXPECT_FLOAT_EQ(0.95f, JpegQualityFactor(95));
    EXPECT_FLOAT_EQ(1.0f, JpegQualityFactor(100));
    EXPECT_FLOAT_EQ(0.0f, JpegQualityFactor(-1));
    EXPECT_FLOAT_EQ(0.0f, JpegQualityFactor(-2147483647 - 1));
    EXPECT_FLOAT_EQ(1.0f, JpegQualityFactor(101));
    EXPECT_FLOAT_EQ(1.0f, JpegQualityFactor(2147483647));
}

}  // namespace
}  // namespace snapshot
