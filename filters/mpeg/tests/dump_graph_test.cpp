// The registered "dump" file sink after a test source of byte-stream
// samples: its file name, where samples land in the file, what happens
// without a name, with an unwritable path, on a full disk and when nothing
// arrives.
#include <gtest/gtest.h>

#include <cstring>

#include "filters/mpeg/mpeg_filters_api.h"
#include "mpeg_test_support.h"
#include "testing/graph_support/test_graph.h"
#include "testing/graph_support/test_source.h"
#include "testing/graph_support/test_types.h"

namespace mpeg_filters_test {
namespace {

using graph_test::CTestSource;
using graph_test::FramePattern;

// A character device that refuses every write as a full disk would (Wine maps
// Z:\ to the Linux root); empty where there is none.
std::wstring FullDevice() {
    const wchar_t path[] = L"Z:\\dev\\full";
    HANDLE h = CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return {};
    const bool device = GetFileType(h) == FILE_TYPE_CHAR;
    CloseHandle(h);
    return device ? path : std::wstring();
}

class DumpGraph : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(S_OK, graph_.Create());
        HRESULT hr = E_FAIL;
        dump_ = graph_test::CreateFilter(CLSID_DumpFileSink, &hr);
        ASSERT_EQ(S_OK, hr) << "MpegFilters.ax not registered";
        ASSERT_EQ(S_OK, dump_->QueryInterface(IID_IFileSinkFilter, sink_.PutVoid()));
        ASSERT_EQ(S_OK, graph_.Add(dump_.Get(), L"dump"));
        input_ = graph_test::FirstPin(dump_.Get(), PINDIR_INPUT, false);
        ASSERT_TRUE(input_);
    }
    void TearDown() override {
        if (graph_.Control()) graph_.Stop();
    }

    // A source of `count` samples of `size` bytes stamped `spacing` apart (-1: endless).
    void Connect(int count, ULONG size, REFERENCE_TIME spacing) {
        CTestSource* source = nullptr;
        source_ = CTestSource::Create({graph_test::MakeStreamType(size), count, 0, spacing}, &source);
        ASSERT_EQ(S_OK, graph_.Add(source_.Get(), L"Source"));
        ASSERT_EQ(S_OK, graph_.ConnectDirect(source->Output(), input_.Get()));
    }
    std::wstring Path(const wchar_t* name) {
        const std::wstring path = OutputPath(name);
        DeleteFileW(path.c_str());
        return path;
    }

    graph_test::ScopedMta com_;  // first: outlives every COM object below
    graph_test::TestGraph graph_;
    ComPtr<IBaseFilter> dump_, source_;
    ComPtr<IFileSinkFilter> sink_;
    ComPtr<IPin> input_;
};

TEST_F(DumpGraph, KeepsItsOwnCopyOfTheNameAndType) {
    LPOLESTR name = nullptr;
    EXPECT_EQ(E_FAIL, sink_->GetCurFile(&name, nullptr)) << "no file yet";
    EXPECT_EQ(E_POINTER, sink_->SetFileName(nullptr, nullptr));
    wchar_t given[] = L"C:\\recordings\\first.mpg";
    CMediaType type(&MEDIATYPE_Stream);
    type.SetSubtype(&MEDIASUBTYPE_MPEG1System);
    ASSERT_EQ(S_OK, sink_->SetFileName(given, &type));
    given[14] = L'X';
    AM_MEDIA_TYPE mt = {};
    ASSERT_EQ(S_OK, sink_->GetCurFile(&name, &mt));
    EXPECT_STREQ(L"C:\\recordings\\first.mpg", name);
    CoTaskMemFree(name);
    EXPECT_EQ(MEDIASUBTYPE_MPEG1System, mt.subtype);
    FreeMediaType(mt);

    ASSERT_EQ(S_OK, sink_->SetFileName(L"D:\\second.mpg", nullptr));
    ASSERT_EQ(S_OK, sink_->GetCurFile(&name, &mt));
    EXPECT_STREQ(L"D:\\second.mpg", name);
    CoTaskMemFree(name);
    EXPECT_EQ(GUID_NULL, mt.majortype);
    FreeMediaType(mt);
}

TEST_F(DumpGraph, TakesByteStreamsOnly) {
    CMediaType mpeg(&MEDIATYPE_Stream);
    mpeg.SetSubtype(&MEDIASUBTYPE_MPEG1System);
    EXPECT_EQ(S_OK, input_->QueryAccept(&mpeg));
    const CMediaType video = graph_test::MakeVideoType({});
    EXPECT_NE(S_OK, input_->QueryAccept(&video));
}

TEST_F(DumpGraph, WithoutAFileNameTheGraphDoesNotStart) {
    ASSERT_NO_FATAL_FAILURE(Connect(5, 100, 100));
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_INVALID_NAME), graph_.Control()->Run());
    StopEveryFilter(graph_.Builder());
}

TEST_F(DumpGraph, AnUnwritablePathFailsTheStartAndCreatesNothing) {
    const std::wstring path = OutputPath(L"no-such-folder\\recording.mpg");
    ASSERT_NO_FATAL_FAILURE(Connect(5, 100, 100));
    ASSERT_EQ(S_OK, sink_->SetFileName(path.c_str(), nullptr));
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND), graph_.Control()->Run());
    StopEveryFilter(graph_.Builder());
    EXPECT_FALSE(FileExists(path));
}

TEST_F(DumpGraph, TimedSamplesLandAtTheBytePositionsTheirTimesGive) {
    const std::wstring path = Path(L"dump-positions.bin");
    ASSERT_NO_FATAL_FAILURE(Connect(10, 1000, 1500));
    ASSERT_EQ(S_OK, sink_->SetFileName(path.c_str(), nullptr));
    ASSERT_EQ(S_OK, graph_.Run());
    EXPECT_TRUE(WaitForEvent(graph_.Builder(), EC_COMPLETE, 10000));
    ASSERT_EQ(S_OK, graph_.Stop());
    const std::vector<uint8_t> file = ReadWholeFile(path);
    ASSERT_EQ(9u * 1500 + 1000, file.size());
    for (int i = 0; i < 10; ++i) {
        const std::vector<uint8_t> expected = FramePattern(i, 1000);
        EXPECT_TRUE(std::equal(expected.begin(), expected.end(), file.begin() + i * 1500)) << "sample " << i;
        if (i < 9) {
            EXPECT_TRUE(std::all_of(file.begin() + i * 1500 + 1000, file.begin() + (i + 1) * 1500,
                                    [](uint8_t b) { return b == 0; }))
                << "hole after " << i;
        }
    }
}

TEST_F(DumpGraph, UntimedSamplesFollowThePreviousWrite) {
    const std::wstring path = Path(L"dump-sequential.bin");
    ASSERT_NO_FATAL_FAILURE(Connect(0, 4, 4));  // connected, but sends nothing
    ASSERT_EQ(S_OK, sink_->SetFileName(path.c_str(), nullptr));
    ASSERT_EQ(S_OK, graph_.Run());

    ComPtr<IMemInputPin> transport;
    ASSERT_EQ(S_OK, input_->QueryInterface(IID_IMemInputPin, transport.PutVoid()));
    ComPtr<IMemAllocator> allocator;
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER, IID_IMemAllocator,
                                     allocator.PutVoid()));
    ALLOCATOR_PROPERTIES props = {1, 16, 1, 0}, actual = {};
    ASSERT_EQ(S_OK, allocator->SetProperties(&props, &actual));
    ASSERT_EQ(S_OK, allocator->Commit());
    const auto send = [&](const char* text, const REFERENCE_TIME* at) {
        ComPtr<IMediaSample> sample;
        ASSERT_EQ(S_OK, allocator->GetBuffer(sample.Put(), nullptr, nullptr, 0));
        BYTE* data = nullptr;
        ASSERT_EQ(S_OK, sample->GetPointer(&data));
        std::memcpy(data, text, std::strlen(text));
        sample->SetActualDataLength(static_cast<long>(std::strlen(text)));
        REFERENCE_TIME stop = at ? *at + static_cast<REFERENCE_TIME>(std::strlen(text)) : 0;
        sample->SetTime(const_cast<REFERENCE_TIME*>(at), at ? &stop : nullptr);
        ASSERT_EQ(S_OK, transport->Receive(sample.Get()));
    };
    const REFERENCE_TIME two = 2;
    send("AAAA", nullptr);
    send("BBBB", nullptr);
    send("CC", &two);  // over part of what was written
    send("DDDD", nullptr);  // after the previous write, not after the end
    ASSERT_EQ(S_OK, graph_.Stop());
    allocator->Decommit();
    const std::vector<uint8_t> file = ReadWholeFile(path);
    EXPECT_EQ("AACCDDDD", std::string(file.begin(), file.end()));
}

TEST_F(DumpGraph, ARecordingThatReceivedNothingLeavesNoFile) {
    const std::wstring path = Path(L"dump-nothing.bin");
    ASSERT_NO_FATAL_FAILURE(Connect(0, 100, 100));
    ASSERT_EQ(S_OK, sink_->SetFileName(path.c_str(), nullptr));
    ASSERT_EQ(S_OK, graph_.Run());
    EXPECT_TRUE(WaitForEvent(graph_.Builder(), EC_COMPLETE, 10000)) << "a renderer completes on end of stream";
    ASSERT_EQ(S_OK, graph_.Stop());
    EXPECT_FALSE(FileExists(path));
}

TEST_F(DumpGraph, AnEarlierFileStaysUntilNewDataReplacesIt) {
    const std::wstring path = Path(L"dump-earlier.bin");
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    DWORD written = 0;
    WriteFile(file, "earlier", 7, &written, nullptr);
    CloseHandle(file);
    ASSERT_EQ(S_OK, sink_->SetFileName(path.c_str(), nullptr));
    ASSERT_EQ(S_OK, graph_.Pause());  // the sink alone: ready, nothing received
    EXPECT_EQ(7u, ReadWholeFile(path).size());
    ASSERT_EQ(S_OK, graph_.Stop());
    EXPECT_EQ(7u, ReadWholeFile(path).size()) << "a start that brought nothing leaves it alone";
    ASSERT_NO_FATAL_FAILURE(Connect(2, 100, 100));
    ASSERT_EQ(S_OK, graph_.Run());
    EXPECT_TRUE(WaitForEvent(graph_.Builder(), EC_COMPLETE, 10000));
    ASSERT_EQ(S_OK, graph_.Stop());
    EXPECT_EQ(200u, ReadWholeFile(path).size()) << "emptied, then the new bytes";
}

TEST_F(DumpGraph, AFullDiskStopsWritingWithAnError) {
    const std::wstring device = FullDevice();
    if (device.empty()) GTEST_SKIP() << "no device that reports a full disk here";
    ASSERT_NO_FATAL_FAILURE(Connect(-1, 4096, 4096));
    ASSERT_EQ(S_OK, sink_->SetFileName(device.c_str(), nullptr));
    ASSERT_EQ(S_OK, graph_.Run());
    LONG_PTR error = 0;
    ASSERT_TRUE(WaitForEvent(graph_.Builder(), EC_ERRORABORT, 10000, &error));
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_DISK_FULL), static_cast<HRESULT>(error));
    EXPECT_EQ(S_OK, graph_.Stop());
    EXPECT_FALSE(FullDevice().empty()) << "a device is never removed";
}

}  // namespace
}  // namespace mpeg_filters_test
