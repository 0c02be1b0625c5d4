// The AVI Mux inside Wine's filter graph manager, fed by the test source and
// written by the system File Writer: pins on demand, accepted types, and the
// file it leaves, read back with the test reader.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "avi_test_reader.h"
#include "testing/graph_support/test_files.h"
#include "testing/graph_support/test_graph.h"
#include "system_filters/avi_mux.h"
#include "testing/graph_support/test_source.h"
#include "testing/graph_support/test_types.h"

namespace graph_test {
namespace {

using Names = std::vector<std::wstring>;
using pixel_formats::PixelFormat;

constexpr int kAudioChunk = 3200;  // 100 ms of 16 kHz 16-bit mono

CMediaType AudioType(WORD blockAlign = 2) {
    WAVEFORMATEX wfx = {};
    wfx.wFormatTag = WAVE_FORMAT_PCM;
    wfx.nChannels = 1;
    wfx.nSamplesPerSec = 16000;
    wfx.wBitsPerSample = 16;
    wfx.nBlockAlign = blockAlign;
    wfx.nAvgBytesPerSec = 16000 * blockAlign;
    CMediaType mt(&MEDIATYPE_Audio);
    mt.SetSubtype(&MEDIASUBTYPE_PCM);
    mt.SetFormatType(&FORMAT_WaveFormatEx);
    mt.SetFormat(reinterpret_cast<const BYTE*>(&wfx), sizeof wfx);
    mt.SetSampleSize(kAudioChunk);
    return mt;
}

// Our class itself, whichever module the prefix registered for the CLSID.
ComPtr<IBaseFilter> NewMux() {
    HRESULT hr = S_OK;
    CUnknown* mux = system_filters::CAviMux::CreateInstance(nullptr, &hr);
    ComPtr<IBaseFilter> filter;
    if (mux) mux->NonDelegatingQueryInterface(IID_IBaseFilter, filter.PutVoid());
    return filter;
}

std::wstring TempPath(const wchar_t* name) {
    wchar_t dir[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, dir);
    return std::wstring(dir) + name;
}

class AviMuxTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(S_OK, graph_.Create());
        mux_ = NewMux();
        ASSERT_TRUE(mux_);
        ASSERT_EQ(S_OK, graph_.Add(mux_.Get(), L"AVI Mux Filter"));
    }

    IPin* AddSource(const CMediaType& type, int frames, REFERENCE_TIME duration = 333333) {
        CTestSource* raw = nullptr;
        CTestSource::Options options;
        options.type = type;
        options.frameCount = frames;
        options.frameDuration = duration;
        sources_.push_back(CTestSource::Create(options, &raw));
        EXPECT_EQ(S_OK, graph_.Add(sources_.back().Get(), (L"Source" + std::to_wstring(sources_.size())).c_str()));
        return raw->Output();
    }

    HRESULT ConnectToMux(IPin* out) {
        ComPtr<IPin> in = FirstPin(mux_.Get(), PINDIR_INPUT, true);
        return in ? graph_.ConnectDirect(out, in.Get()) : E_FAIL;
    }

    // Mux output into a File Writer writing `path`.
    void AddWriter(const std::wstring& path) {
        DeleteFileW(path.c_str());
        writer_ = CreateFilter(CLSID_FileWriter);
        ASSERT_TRUE(writer_);
        ComPtr<IFileSinkFilter> sink;
        ASSERT_EQ(S_OK, writer_->QueryInterface(IID_IFileSinkFilter, sink.PutVoid()));
        ASSERT_EQ(S_OK, sink->SetFileName(path.c_str(), nullptr));
        ASSERT_EQ(S_OK, graph_.Add(writer_.Get(), L"File Writer"));
        ASSERT_EQ(S_OK, graph_.ConnectDirect(FindPin(mux_.Get(), L"AVI Out").Get(),
                                             FirstPin(writer_.Get(), PINDIR_INPUT, true).Get()));
    }

    // Runs until the writer reports completion (every source sent its frames).
    void RunToCompletion() {
        ASSERT_EQ(S_OK, graph_.Run());
        ComPtr<IMediaEvent> events;
        ASSERT_EQ(S_OK, graph_.Builder()->QueryInterface(IID_IMediaEvent, events.PutVoid()));
        long code = 0;
        EXPECT_EQ(S_OK, events->WaitForCompletion(10000, &code));
        EXPECT_EQ(EC_COMPLETE, code);
        ASSERT_EQ(S_OK, graph_.Stop());
    }

    ScopedMta com_;
    TestGraph graph_;
    ComPtr<IBaseFilter> mux_;
    ComPtr<IBaseFilter> writer_;
    std::vector<ComPtr<IBaseFilter>> sources_;
};

TEST_F(AviMuxTest, InputsAppearAsTheyAreConnectedAndOneStaysFree) {
    EXPECT_EQ((Names{L"Input 01", L"AVI Out"}), PinNames(mux_.Get()));
    IPin* video = AddSource(MakeVideoType({}), 1);
    IPin* audio = AddSource(AudioType(), 1);
    ASSERT_EQ(S_OK, ConnectToMux(video));
    EXPECT_EQ((Names{L"Input 01", L"Input 02", L"AVI Out"}), PinNames(mux_.Get()));
    ASSERT_EQ(S_OK, ConnectToMux(audio));
    EXPECT_EQ((Names{L"Input 01", L"Input 02", L"Input 03", L"AVI Out"}), PinNames(mux_.Get()));
    // Freeing the first leaves two free: the higher-numbered one goes.
    ASSERT_EQ(S_OK, graph_.DisconnectPin(FindPin(mux_.Get(), L"Input 01").Get()));
    EXPECT_EQ((Names{L"Input 01", L"Input 02", L"AVI Out"}), PinNames(mux_.Get()));
    EXPECT_TRUE(IsConnected(FindPin(mux_.Get(), L"Input 02").Get()));
}

TEST_F(AviMuxTest, InputsTakeVideoInfoPicturesAndWaveFormatSoundOnly) {
    ComPtr<IPin> in = FindPin(mux_.Get(), L"Input 01");
    VideoTypeParams rgb;
    rgb.format = PixelFormat::kRgb24;
    VideoTypeParams info2;
    info2.videoInfo2 = true;
    auto accepts = [&](const CMediaType& mt) { return in->QueryAccept(&mt); };
    EXPECT_EQ(S_OK, accepts(MakeVideoType({})));
    EXPECT_EQ(S_OK, accepts(MakeVideoType(rgb)));
    EXPECT_EQ(S_OK, accepts(MakeOtherVideoType(MEDIASUBTYPE_MJPG, MAKEFOURCC('M', 'J', 'P', 'G'), 24, 64, 48)));
    EXPECT_EQ(S_OK, accepts(AudioType()));
    EXPECT_EQ(S_FALSE, accepts(MakeVideoType(info2)));
    EXPECT_EQ(S_FALSE, accepts(MakeStreamType(100)));
    EXPECT_EQ(S_FALSE, accepts(AudioType(0)));  // no block size: no AVI rate
}

TEST_F(AviMuxTest, OutputOffersAnAviStream) {
    ComPtr<IEnumMediaTypes> types;
    ASSERT_EQ(S_OK, FindPin(mux_.Get(), L"AVI Out")->EnumMediaTypes(types.Put()));
    AM_MEDIA_TYPE* mt = nullptr;
    ASSERT_EQ(S_OK, types->Next(1, &mt, nullptr));
    EXPECT_EQ(MEDIATYPE_Stream, mt->majortype);
    EXPECT_EQ(MEDIASUBTYPE_Avi, mt->subtype);
    DeleteMediaType(mt);
}

TEST_F(AviMuxTest, EndOfEveryInputLeavesAllSamplesInTimeOrderInTheFile) {
    const std::wstring path = TempPath(L"avimux-eos.avi");
    const CMediaType video = MakeVideoType({});
    IPin* videoOut = AddSource(video, 20);                // 20 frames over 0.67 s
    IPin* audioOut = AddSource(AudioType(), 7, 1000000);  // 0.7 s of sound
    ASSERT_EQ(S_OK, ConnectToMux(videoOut));
    ASSERT_EQ(S_OK, ConnectToMux(audioOut));
    ASSERT_NO_FATAL_FAILURE(AddWriter(path));
    ASSERT_NO_FATAL_FAILURE(RunToCompletion());

    avi_test::ParsedAvi avi;
    ASSERT_EQ("", avi_test::Parse(ReadWholeFile(path), &avi));
    ASSERT_EQ(2u, avi.streams.size());
    EXPECT_EQ("YUY2", avi.streams[0].handler);
    EXPECT_EQ(30u, avi.streams[0].rate / avi.streams[0].scale);
    EXPECT_EQ(20u, avi.main.totalFrames);
    EXPECT_EQ(7u * kAudioChunk / 2, avi.streams[1].length);
    ASSERT_EQ(27u, avi.chunks.size());
    EXPECT_EQ(avi.chunks.size(), avi.index.size());
    int frame = 0, block = 0;
    int64_t lastTime = -1;
    for (const avi_test::Chunk& c : avi.chunks) {
        const bool isVideo = c.id == "00dc";
        const int64_t time = isVideo ? frame * 333333LL : block * 1000000LL;
        EXPECT_LE(lastTime, time) << "chunks out of time order";
        lastTime = time;
        const size_t size = isVideo ? video.GetSampleSize() : kAudioChunk;
        EXPECT_EQ(FramePattern(isVideo ? frame++ : block++, size), c.data);
    }
    EXPECT_EQ(20, frame);
    DeleteFileW(path.c_str());
}

TEST_F(AviMuxTest, SeekingReportsTheRecordedTime) {
    const std::wstring path = TempPath(L"avimux-seek.avi");
    ASSERT_EQ(S_OK, ConnectToMux(AddSource(MakeVideoType({}), 15)));
    ASSERT_NO_FATAL_FAILURE(AddWriter(path));
    ComPtr<IMediaSeeking> seeking;
    ASSERT_EQ(S_OK, mux_->QueryInterface(IID_IMediaSeeking, seeking.PutVoid()));
    DWORD caps = AM_SEEKING_CanGetCurrentPos | AM_SEEKING_CanSeekAbsolute;
    EXPECT_EQ(S_FALSE, seeking->CheckCapabilities(&caps));
    EXPECT_EQ(static_cast<DWORD>(AM_SEEKING_CanGetCurrentPos), caps);
    EXPECT_EQ(S_OK, seeking->IsFormatSupported(&TIME_FORMAT_MEDIA_TIME));
    EXPECT_EQ(S_FALSE, seeking->IsFormatSupported(&TIME_FORMAT_FRAME));
    ASSERT_NO_FATAL_FAILURE(RunToCompletion());
    LONGLONG position = 0, duration = 0;
    EXPECT_EQ(S_OK, seeking->GetCurrentPosition(&position));
    EXPECT_EQ(S_OK, seeking->GetDuration(&duration));
    EXPECT_EQ(15 * 333333LL, position);  // kept after the graph stopped
    EXPECT_EQ(position, duration);
    DeleteFileW(path.c_str());
}

}  // namespace
}  // namespace graph_test
