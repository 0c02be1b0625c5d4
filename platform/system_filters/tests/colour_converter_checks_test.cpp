// The colour space converter's own answers, called directly: which types it
// takes, what it offers, and that Transform stays inside its buffers.
#include <gtest/gtest.h>

#include "testing/graph_support/test_graph.h"

#include <dvdmedia.h>

#include "testing/graph_support/guarded_sample.h"
#include "pixel_formats/convert_frame.h"
#include "system_filters/colour_converter.h"
#include "testing/graph_support/test_source.h"
#include "testing/graph_support/test_types.h"

namespace graph_test {
namespace {

using pixel_formats::PixelFormat;
using system_filters::CColourConverter;

constexpr PixelFormat kHandled[] = {PixelFormat::kYuy2,  PixelFormat::kUyvy,  PixelFormat::kI420,
                                    PixelFormat::kRgb24, PixelFormat::kRgb32, PixelFormat::kRgb565};

class ColourConverterChecks : public testing::Test {
protected:
    void SetUp() override {
        HRESULT hr = S_OK;
        CUnknown* object = CColourConverter::CreateInstance(nullptr, &hr);
        ASSERT_TRUE(object);
        ASSERT_EQ(S_OK, object->NonDelegatingQueryInterface(IID_IBaseFilter, filter_.PutVoid()));
        converter_ = static_cast<CColourConverter*>(object);
        ASSERT_TRUE(converter_->GetPin(0));
    }

    ScopedMta com_;
    ComPtr<IBaseFilter> filter_;
    CColourConverter* converter_ = nullptr;
};

TEST_F(ColourConverterChecks, AcceptsEveryHandledFormatInEitherVideoHeader) {
    for (PixelFormat format : kHandled) {
        for (bool vih2 : {false, true}) {
            const CMediaType mt = MakeVideoType({format, 33, 17, 0, vih2});
            EXPECT_EQ(S_OK, converter_->CheckInputType(&mt)) << pixel_formats::PixelFormatName(format) << vih2;
        }
    }
    const CMediaType topDown = MakeVideoType({PixelFormat::kRgb24, 64, -48});
    EXPECT_EQ(S_OK, converter_->CheckInputType(&topDown));
}

TEST_F(ColourConverterChecks, RefusesWhatItCannotConvert) {
    std::vector<std::pair<const char*, CMediaType>> refused = {
        {"RGB8", MakeOtherVideoType(MEDIASUBTYPE_RGB8, BI_RGB, 8, 64, 48)},
        {"MJPG", MakeOtherVideoType(MEDIASUBTYPE_MJPG, MAKEFOURCC('M', 'J', 'P', 'G'), 24, 64, 48)},
        {"RGB555", MakeVideoType({PixelFormat::kRgb555, 64, 48})},
        {"not video", MakeStreamType(1000)},
    };
    CMediaType wrongDepth = MakeVideoType({PixelFormat::kRgb24, 64, 48});
    const_cast<BITMAPINFOHEADER*>(BitmapHeader(wrongDepth))->biBitCount = 32;
    refused.emplace_back("bit depth not the subtype's", wrongDepth);
    CMediaType plain565 = MakeVideoType({PixelFormat::kRgb565, 64, 48});
    const_cast<BITMAPINFOHEADER*>(BitmapHeader(plain565))->biCompression = BI_RGB;  // that is 5-5-5
    refused.emplace_back("RGB565 without bit fields", plain565);
    CMediaType noWidth = MakeVideoType({PixelFormat::kYuy2, 64, 48});
    const_cast<BITMAPINFOHEADER*>(BitmapHeader(noWidth))->biWidth = 0;
    refused.emplace_back("zero width", noWidth);
    CMediaType shortBlock = MakeVideoType({PixelFormat::kYuy2, 64, 48});
    shortBlock.cbFormat = sizeof(VIDEOINFOHEADER) - 4;
    refused.emplace_back("short format block", shortBlock);
    CMediaType smallImage = MakeVideoType({PixelFormat::kYuy2, 64, 48});
    const_cast<BITMAPINFOHEADER*>(BitmapHeader(smallImage))->biSizeImage = 64 * 48;
    refused.emplace_back("image size below the frame", smallImage);
    CMediaType shifted = MakeVideoType({PixelFormat::kRgb32, 64, 48, 80});
    reinterpret_cast<VIDEOINFOHEADER*>(shifted.pbFormat)->rcTarget.left = 8;
    refused.emplace_back("picture not at the origin", shifted);

    for (auto& [what, mt] : refused) {
        EXPECT_EQ(VFW_E_TYPE_NOT_ACCEPTED, converter_->CheckInputType(&mt)) << what;
    }
    // A format block that is missing altogether.
    CMediaType noBlock = MakeVideoType({PixelFormat::kYuy2, 64, 48});
    CoTaskMemFree(noBlock.pbFormat);
    noBlock.pbFormat = nullptr;
    noBlock.cbFormat = 0;
    EXPECT_EQ(VFW_E_TYPE_NOT_ACCEPTED, converter_->CheckInputType(&noBlock));
}

TEST_F(ColourConverterChecks, TransformNeedsTheSamePictureSizeOnBothSides) {
    const CMediaType in = MakeVideoType({PixelFormat::kYuy2, 33, 17});
    for (PixelFormat format : kHandled) {
        const CMediaType same = MakeVideoType({format, 33, 17});
        EXPECT_EQ(S_OK, converter_->CheckTransform(&in, &same)) << pixel_formats::PixelFormatName(format);
        const CMediaType wider = MakeVideoType({format, 34, 17});
        EXPECT_EQ(VFW_E_TYPE_NOT_ACCEPTED, converter_->CheckTransform(&in, &wider));
    }
    // A renderer's wider stride keeps the picture size.
    const CMediaType strided = MakeVideoType({PixelFormat::kRgb32, 33, 17, 48});
    EXPECT_EQ(S_OK, converter_->CheckTransform(&in, &strided));
    const CMediaType flipped = MakeVideoType({PixelFormat::kRgb24, 33, -17});
    EXPECT_EQ(S_OK, converter_->CheckTransform(&in, &flipped));
    // The output side takes FORMAT_VideoInfo only.
    const CMediaType vih2 = MakeVideoType({PixelFormat::kRgb32, 33, 17, 0, true});
    EXPECT_EQ(VFW_E_TYPE_NOT_ACCEPTED, converter_->CheckTransform(&in, &vih2));
}

TEST_F(ColourConverterChecks, MediaTypePositionsFollowTheDocumentedCodes) {
    CMediaType mt;
    EXPECT_EQ(E_INVALIDARG, converter_->GetMediaType(-1, &mt));
    EXPECT_EQ(E_UNEXPECTED, converter_->GetMediaType(0, &mt));  // input not connected
}

// Types set as a connection would set them, then Transform driven by hand.
class ColourTransformBounds : public ColourConverterChecks {
protected:
    void Configure(PixelFormat from, PixelFormat to, int width, int height) {
        in_ = MakeVideoType({from, width, height});
        out_ = MakeVideoType({to, width, height});
        ASSERT_EQ(S_OK, converter_->SetMediaType(PINDIR_INPUT, &in_));
        ASSERT_EQ(S_OK, converter_->SetMediaType(PINDIR_OUTPUT, &out_));
    }
    CMediaType in_, out_;
};

TEST_F(ColourTransformBounds, FillsExactlyTheFrameAndNoMore) {
    Configure(PixelFormat::kYuy2, PixelFormat::kRgb32, 33, 17);
    const size_t inSize = in_.GetSampleSize(), outSize = out_.GetSampleSize();
    GuardedSample in(inSize);
    const std::vector<uint8_t> pattern = FramePattern(3, inSize);
    std::copy(pattern.begin(), pattern.end(), in.Data());
    in.SetActualDataLength(static_cast<LONG>(inSize));

    GuardedSample out(outSize, 0x11);
    ASSERT_EQ(S_OK, converter_->Transform(&in, &out));
    EXPECT_EQ(static_cast<LONG>(outSize), out.GetActualDataLength());
    EXPECT_TRUE(out.GuardsIntact());
    std::vector<uint8_t> expected(outSize);
    ASSERT_TRUE(pixel_formats::ConvertFrame(pattern.data(), inSize, PixelFormat::kYuy2, expected.data(), outSize,
                                            PixelFormat::kRgb32, 33, 17));
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), out.Data()));
}

TEST_F(ColourTransformBounds, RefusesBuffersTooSmallWithoutWritingAByte) {
    Configure(PixelFormat::kI420, PixelFormat::kRgb24, 31, 15);
    const size_t inSize = in_.GetSampleSize(), outSize = out_.GetSampleSize();
    GuardedSample in(inSize, 0x80);
    in.SetActualDataLength(static_cast<LONG>(inSize));

    GuardedSample small(outSize - 1, 0x22);
    EXPECT_EQ(VFW_E_BUFFER_OVERFLOW, converter_->Transform(&in, &small));
    EXPECT_TRUE(small.Untouched(0x22));
    EXPECT_TRUE(small.GuardsIntact());

    // A short input frame is dropped (S_FALSE), the output left alone.
    in.SetActualDataLength(static_cast<LONG>(inSize - 1));
    GuardedSample out(outSize, 0x33);
    EXPECT_EQ(S_FALSE, converter_->Transform(&in, &out));
    EXPECT_TRUE(out.Untouched(0x33));
    EXPECT_TRUE(out.GuardsIntact());
}

}  // namespace
}  // namespace graph_test
