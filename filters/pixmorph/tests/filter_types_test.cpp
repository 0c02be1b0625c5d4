// The converter filter at connection time: its interfaces and defaults, the
// input types it takes, the output type it proposes and will accept, what it
// asks of the allocator and the work buffers it keeps.
#include <gtest/gtest.h>

#include <cstring>

#include "filters/pixmorph/tests/filter_test_graph.h"
#include "filters/pixmorph/pipeline_types.h"

#include <dvdmedia.h>

namespace pixmorph_test {
namespace {

// The output type a new filter proposes, built by hand from the documented
// fields (a cleared VIDEOINFO with a 24-bit header).
CMediaType HandMadeRgbType(int width, int height) {
    CMediaType mt;
    mt.SetType(&MEDIATYPE_Video);
    mt.SetSubtype(&MEDIASUBTYPE_RGB24);
    mt.SetFormatType(&FORMAT_VideoInfo);
    auto* info = reinterpret_cast<VIDEOINFO*>(mt.AllocFormatBuffer(sizeof(VIDEOINFO)));
    ZeroMemory(info, sizeof(VIDEOINFO));
    info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info->bmiHeader.biWidth = width;
    info->bmiHeader.biHeight = height;
    info->bmiHeader.biPlanes = 1;
    info->bmiHeader.biBitCount = 24;
    info->bmiHeader.biSizeImage = ((width * 3 + 3) & ~3) * height;
    mt.SetSampleSize(info->bmiHeader.biSizeImage);
    mt.SetTemporalCompression(FALSE);
    return mt;
}

using PixmorphConnection = PixmorphGraphTest;

TEST_F(PixmorphConnection, ControlDefaultsPinsAndPages) {
    int size[2] = {};
    ASSERT_EQ(S_OK, control_->GetOutputSize(size));
    EXPECT_EQ(320, size[0]);
    EXPECT_EQ(240, size[1]);
    int mx = 0, my = 0;
    ASSERT_EQ(S_OK, control_->GetMultiple(&mx, &my));
    EXPECT_EQ(1, mx);
    EXPECT_EQ(1, my);
    BOOL multiple = TRUE;
    ASSERT_EQ(S_OK, control_->GetMultipleMode(&multiple));
    EXPECT_FALSE(multiple);
    EXPECT_EQ(E_POINTER, control_->GetOutputSize(nullptr));

    // Stored as given, even values no picture can have; they are checked at the proposal.
    EXPECT_EQ(S_OK, control_->SetOutputSize(0, -5));
    ASSERT_EQ(S_OK, control_->GetOutputSize(size));
    EXPECT_EQ(0, size[0]);
    EXPECT_EQ(-5, size[1]);

    ComPtr<ISpecifyPropertyPages> specify;
    ASSERT_EQ(S_OK, filter_.As(&specify));
    CAUUID pages = {};
    ASSERT_EQ(S_OK, specify->GetPages(&pages));
    ASSERT_EQ(1u, pages.cElems);
    EXPECT_EQ(CLSID_PixmorphPropertyPage, pages.pElems[0]);
    CoTaskMemFree(pages.pElems);

    PIN_INFO info = {};
    ASSERT_EQ(S_OK, In()->QueryPinInfo(&info));
    EXPECT_STREQ(L"XForm In", info.achName);
    info.pFilter->Release();
    ASSERT_EQ(S_OK, Out()->QueryPinInfo(&info));
    EXPECT_STREQ(L"XForm Out", info.achName);
    info.pFilter->Release();
    ComPtr<IPin> byId;
    EXPECT_EQ(S_OK, filter_->FindPin(L"In", byId.Put()));
    EXPECT_EQ(In(), byId.Get());
    ComPtr<IPinConnection> dynamic;
    EXPECT_EQ(S_OK, In()->QueryInterface(IID_IPinConnection, dynamic.PutVoid()));
    EXPECT_EQ(S_FALSE, dynamic->IsEndPin());
    CLSID clsid = {};
    EXPECT_EQ(S_OK, filter_->GetClassID(&clsid));
    EXPECT_EQ(CLSID_Pixmorph, clsid);
}

TEST_F(PixmorphConnection, ANewInstanceProposes320x240Rgb24) {
    EXPECT_EQ(E_POINTER, pixmorph_->GetMediaType(0, nullptr));
    CMediaType mt;
    EXPECT_EQ(E_UNEXPECTED, pixmorph_->GetMediaType(0, &mt)) << "nothing to propose before the input connects";
    ASSERT_EQ(S_OK, ConnectSource(MEDIASUBTYPE_YUY2, 640, 480));
    EXPECT_EQ(E_INVALIDARG, pixmorph_->GetMediaType(1, &mt));

    const CMediaType proposed = ProposedType();
    ASSERT_TRUE(proposed.IsValid());
    EXPECT_EQ(MEDIATYPE_Video, proposed.majortype);
    EXPECT_EQ(MEDIASUBTYPE_RGB24, proposed.subtype);
    EXPECT_EQ(FORMAT_VideoInfo, proposed.formattype);
    EXPECT_TRUE(proposed.bFixedSizeSamples);
    EXPECT_FALSE(proposed.bTemporalCompression);
    EXPECT_EQ(230400u, proposed.lSampleSize);
    ASSERT_EQ(sizeof(VIDEOINFO), proposed.cbFormat);
    const BITMAPINFOHEADER* h = BitmapHeaderOf(proposed);
    EXPECT_EQ(320, h->biWidth);
    EXPECT_EQ(240, h->biHeight);
    EXPECT_EQ(230400u, h->biSizeImage);
    // Field for field the documented type, down to the cleared rest of VIDEOINFO.
    const CMediaType expected = HandMadeRgbType(320, 240);
    EXPECT_EQ(0, std::memcmp(expected.pbFormat, proposed.pbFormat, sizeof(VIDEOINFO)));

    ASSERT_EQ(S_OK, graph_.ConnectDirect(Out(), sink_->Input()));
    EXPECT_EQ(320, OutputWidth());
}

TEST_F(PixmorphConnection, MultipleModeProposesTheInputTimesTheMultiples) {
    control_->SetMultipleMode(TRUE);
    control_->SetMultiple(2, 3);
    ASSERT_EQ(S_OK, ConnectSource(video_media::kMediaSubtypeI420, 176, 144));
    const BITMAPINFOHEADER* h = BitmapHeaderOf(ProposedType());
    ASSERT_NE(nullptr, h);
    EXPECT_EQ(352, h->biWidth);
    EXPECT_EQ(432, h->biHeight);
    EXPECT_EQ(352u * 3 * 432, h->biSizeImage);
    // Nothing is proposed that the pipeline could not make.
    control_->SetMultiple(0x40000000, 1);
    CMediaType mt;
    EXPECT_EQ(E_INVALIDARG, pixmorph_->GetMediaType(0, &mt));
    control_->SetMultipleMode(FALSE);
    control_->SetOutputSize(0, 240);
    EXPECT_EQ(E_INVALIDARG, pixmorph_->GetMediaType(0, &mt));
}

TEST_F(PixmorphConnection, OnlyUncompressedVideoOfTheFiveSubtypesIsTaken) {
    EXPECT_EQ(E_POINTER, pixmorph_->CheckInputType(nullptr));
    for (const GUID* subtype : {&MEDIASUBTYPE_RGB24, &video_media::kMediaSubtypeI420, &MEDIASUBTYPE_YUYV,
                                &MEDIASUBTYPE_YUY2, &MEDIASUBTYPE_UYVY}) {
        CMediaType mt = VideoType(*subtype, 64, 48);
        EXPECT_EQ(S_OK, pixmorph_->CheckInputType(&mt));
    }
    CMediaType rgb32 = VideoType(MEDIASUBTYPE_RGB24, 64, 48);
    rgb32.SetSubtype(&MEDIASUBTYPE_RGB32);
    EXPECT_EQ(E_INVALIDARG, pixmorph_->CheckInputType(&rgb32));

    CMediaType wave = VideoType(MEDIASUBTYPE_YUY2, 64, 48);
    wave.SetFormatType(&FORMAT_WaveFormatEx);
    EXPECT_EQ(E_INVALIDARG, pixmorph_->CheckInputType(&wave));
    CMediaType audio = VideoType(MEDIASUBTYPE_YUY2, 64, 48);
    audio.SetType(&MEDIATYPE_Audio);
    EXPECT_EQ(E_INVALIDARG, pixmorph_->CheckInputType(&audio));

    // VIDEOINFOHEADER2 is read at its own offset; a block too short for a header is refused.
    CMediaType two = VideoType(MEDIASUBTYPE_YUY2, 64, 48);
    two.SetFormatType(&FORMAT_VideoInfo2);
    EXPECT_EQ(E_INVALIDARG, pixmorph_->CheckInputType(&two)) << "88 bytes cannot hold a VIDEOINFOHEADER2";
    two.ReallocFormatBuffer(sizeof(VIDEOINFOHEADER2));
    EXPECT_EQ(S_OK, pixmorph_->CheckInputType(&two));

    // Through a real connection: the pin refuses too.
    SourceScript script;
    script.listed = {{64, 48}};
    sourceFilter_ = CTestSource::CreateScripted(ScriptOf(script), &source_);
    ASSERT_EQ(S_OK, graph_.Add(sourceFilter_.Get(), L"Source"));
    EXPECT_TRUE(FAILED(graph_.ConnectDirect(source_->Output(), In(), &wave)));
}

TEST_F(PixmorphConnection, DownstreamTypesAreRefusedUntilTheFilterProposedThem) {
    ASSERT_EQ(S_OK, ConnectSource(MEDIASUBTYPE_YUY2, 640, 480));
    const CMediaType identical = HandMadeRgbType(320, 240);
    EXPECT_EQ(S_FALSE, Out()->QueryAccept(&identical)) << "accepted before any proposal";
    EXPECT_TRUE(FAILED(graph_.ConnectDirect(Out(), sink_->Input(), &identical)));
    CMediaType input = VideoType(MEDIASUBTYPE_YUY2, 640, 480);
    EXPECT_EQ(E_INVALIDARG, pixmorph_->CheckTransform(&input, &identical));

    ASSERT_TRUE(ProposedType().IsValid());
    EXPECT_EQ(S_OK, Out()->QueryAccept(&identical));
    EXPECT_EQ(S_OK, pixmorph_->CheckTransform(&input, &identical));
    const CMediaType other = HandMadeRgbType(640, 480);
    EXPECT_EQ(S_FALSE, Out()->QueryAccept(&other)) << "only the last proposal";
    CMediaType rgb32 = VideoType(MEDIASUBTYPE_RGB24, 64, 48);
    rgb32.SetSubtype(&MEDIASUBTYPE_RGB32);
    EXPECT_EQ(E_INVALIDARG, pixmorph_->CheckTransform(&rgb32, &identical)) << "the input must pass as well";

    // A downstream pin offering the type itself now connects with it.
    sink_->SetOffered({identical});
    EXPECT_EQ(S_OK, graph_.ConnectDirect(Out(), sink_->Input()));
    EXPECT_EQ(320, OutputWidth());
}

TEST_F(PixmorphConnection, AllocatorRequestAndWorkBuffersOfAFixedSizeInput) {
    ASSERT_EQ(S_OK, ConnectSource(MEDIASUBTYPE_YUY2, 640, 480));
    ASSERT_EQ(S_OK, graph_.ConnectDirect(Out(), sink_->Input()));
    EXPECT_EQ(1, sink_->Granted().cBuffers);
    EXPECT_EQ(1228800, sink_->Granted().cbBuffer);
    // Here both builds' rules agree: the request is twice the input sample.
    const pixmorph::WorkSizes work = pixmorph_->WorkBufferCapacities();
    EXPECT_EQ(1228800u, work.yuy2);
    EXPECT_EQ(1228800u, work.rgb);
}

TEST_F(PixmorphConnection, WorkBuffersOfASmallInputEnlarged) {
    control_->SetOutputSize(640, 480);
    ASSERT_EQ(S_OK, ConnectSource(MEDIASUBTYPE_YUY2, 160, 120));
    ASSERT_EQ(S_OK, graph_.ConnectDirect(Out(), sink_->Input()));
    EXPECT_EQ(1843200, sink_->Granted().cbBuffer);
    const pixmorph::WorkSizes work = pixmorph_->WorkBufferCapacities();
#ifdef PIXMORPH_SCALVANE
    EXPECT_EQ(76800u, work.yuy2);  // twice the input sample
    EXPECT_EQ(76800u, work.rgb);
#else
    EXPECT_EQ(1843200u, work.yuy2);  // the allocator request
    EXPECT_EQ(1843200u, work.rgb);
#endif
}

TEST_F(PixmorphConnection, WorkBuffersOfAnI420InputHoldThe24BitImage) {
    ASSERT_EQ(S_OK, ConnectSource(video_media::kMediaSubtypeI420, 640, 480));
    ASSERT_EQ(S_OK, graph_.ConnectDirect(Out(), sink_->Input()));
    const pixmorph::WorkSizes work = pixmorph_->WorkBufferCapacities();
#ifdef PIXMORPH_SCALVANE
    EXPECT_EQ(921600u, work.rgb);
#else
    EXPECT_EQ(static_cast<size_t>(sink_->Granted().cbBuffer), work.rgb);
#endif
}

TEST_F(PixmorphConnection, VariableSizeInputGetsTheFloorAndWorkBuffersForItsImages) {
    control_->SetOutputSize(133, 25);  // rows of 400 bytes: 10000
    ASSERT_EQ(S_OK, ConnectSource(MEDIASUBTYPE_YUY2, 320, 240, true, 100));
    ASSERT_EQ(S_OK, graph_.ConnectDirect(Out(), sink_->Input()));
    EXPECT_EQ(65536, sink_->Granted().cbBuffer);
    // Neither rule alone leaves room for a 320x240 frame; the filter's bound does.
    const pixmorph::WorkSizes work = pixmorph_->WorkBufferCapacities();
    EXPECT_GE(work.yuy2, 153600u);
    EXPECT_GE(work.rgb, 230400u);
}

}  // namespace
}  // namespace pixmorph_test
