#include "test_filters.h"

#include <cstring>

namespace {

// Counts references so a test can see a media type's pUnk handled.
class Counted : public IUnknown {
public:
    STDMETHODIMP QueryInterface(REFIID, void** ppv) override {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
    STDMETHODIMP_(ULONG) Release() override { return --refs; }
    ULONG refs = 1;
};

TEST(CMediaTypeTest, CopiesOwnTheirFormatBlockAndReferenceTheirUnknown) {
    Counted unk;
    {
        CMediaType original = MakeType(kSubtypeA);
        original.pUnk = &unk;
        unk.AddRef();
        CMediaType copy(original);
        EXPECT_EQ(3u, unk.refs);
        ASSERT_NE(original.Format(), copy.Format());
        EXPECT_TRUE(copy == original);
        copy.Format()[0] ^= 0xFF;  // the format block takes part in equality
        EXPECT_FALSE(copy == original);
        copy = original;
        EXPECT_TRUE(copy == original);
        EXPECT_EQ(3u, unk.refs);  // assignment released the old pUnk and took the new one
        copy.SetSubtype(&kSubtypeB);
        EXPECT_TRUE(copy != original);
    }
    EXPECT_EQ(1u, unk.refs);
}

TEST(CMediaTypeTest, CreateAndDeleteMediaTypeOnTheTaskHeap) {
    Counted unk;
    CMediaType mt = MakeType(kSubtypeB);
    mt.pUnk = &unk;
    unk.AddRef();
    AM_MEDIA_TYPE* copy = CreateMediaType(&mt);
    ASSERT_NE(nullptr, copy);
    EXPECT_EQ(3u, unk.refs);
    EXPECT_EQ(mt.cbFormat, copy->cbFormat);
    EXPECT_EQ(0, std::memcmp(mt.pbFormat, copy->pbFormat, mt.cbFormat));
    DeleteMediaType(copy);
    EXPECT_EQ(2u, unk.refs);
    FreeMediaType(mt);
    EXPECT_EQ(1u, unk.refs);
    EXPECT_EQ(nullptr, mt.pbFormat);
    EXPECT_EQ(0u, mt.cbFormat);
    DeleteMediaType(nullptr);  // allowed, like free(nullptr)
}

TEST(CMediaTypeTest, FormatBufferAllocationAndResizing) {
    CMediaType mt;
    EXPECT_FALSE(mt.IsValid());
    EXPECT_TRUE(mt.IsFixedSize());
    BYTE* block = mt.AllocFormatBuffer(8);
    ASSERT_NE(nullptr, block);
    std::memcpy(block, "abcdefgh", 8);
    BYTE* grown = mt.ReallocFormatBuffer(16);
    ASSERT_NE(nullptr, grown);
    EXPECT_EQ(16u, mt.FormatLength());
    EXPECT_EQ(0, std::memcmp(grown, "abcdefgh", 8));  // leading bytes kept
    const BYTE replacement[3] = {1, 2, 3};
    EXPECT_TRUE(mt.SetFormat(replacement, 3));
    EXPECT_EQ(3u, mt.FormatLength());
    EXPECT_EQ(0, std::memcmp(mt.Format(), replacement, 3));
    mt.ResetFormatBuffer();
    EXPECT_EQ(nullptr, mt.Format());
    mt.SetVariableSize();
    EXPECT_FALSE(mt.IsFixedSize());
    EXPECT_EQ(0u, mt.GetSampleSize());
    mt.SetSampleSize(100);
    EXPECT_EQ(100u, mt.GetSampleSize());
}

TEST(CMediaTypeTest, PartialTypesMatchOnTheFieldsTheyName) {
    const CMediaType full = MakeType(kSubtypeA);
    CMediaType partial;
    EXPECT_TRUE(partial.IsPartiallySpecified());
    EXPECT_TRUE(full.MatchesPartial(&partial));  // all GUID_NULL: anything
    partial.SetType(&MEDIATYPE_Video);
    partial.SetSubtype(&kSubtypeA);
    EXPECT_TRUE(full.MatchesPartial(&partial));
    partial.SetSubtype(&kSubtypeB);
    EXPECT_FALSE(full.MatchesPartial(&partial));
    partial.SetSubtype(&GUID_NULL);
    partial.SetFormatType(&kFormatTest);  // a named format type compares the block too
    EXPECT_FALSE(full.MatchesPartial(&partial));
    partial.SetFormat(full.Format(), full.FormatLength());
    EXPECT_TRUE(full.MatchesPartial(&partial));
    EXPECT_FALSE(full.IsPartiallySpecified());
}

TEST(BitmapTest, SizeUsesDwordAlignedRowsAndAbsoluteHeight) {
    BITMAPINFOHEADER h = {};
    h.biSize = sizeof h;
    h.biWidth = 3;
    h.biHeight = -2;  // top-down
    h.biBitCount = 24;
    EXPECT_EQ(2u * 12u, GetBitmapSize(&h));  // 9 bytes of pixels padded to 12
    h.biWidth = 640;
    h.biHeight = 480;
    h.biBitCount = 12;  // planar 4:2:0
    h.biCompression = MAKEFOURCC('I', '4', '2', '0');
    EXPECT_EQ(640u * 480u * 3u / 2u, GetBitmapSize(&h));
    h.biBitCount = 0;
    h.biSizeImage = 12345;
    EXPECT_EQ(12345u, GetBitmapSize(&h));
}

TEST(BitmapTest, SubtypeFollowsCompressionBitCountAndMasks) {
    struct {
        BITMAPINFOHEADER h;
        DWORD masks[3];
    } bi = {};
    bi.h.biSize = sizeof bi.h;
    bi.h.biCompression = BI_RGB;
    bi.h.biBitCount = 24;
    EXPECT_TRUE(IsEqualGUID(MEDIASUBTYPE_RGB24, GetBitmapSubtype(&bi.h)));
    bi.h.biBitCount = 32;
    EXPECT_TRUE(IsEqualGUID(MEDIASUBTYPE_RGB32, GetBitmapSubtype(&bi.h)));
    bi.h.biBitCount = 16;
    EXPECT_TRUE(IsEqualGUID(MEDIASUBTYPE_RGB555, GetBitmapSubtype(&bi.h)));
    bi.h.biCompression = BI_BITFIELDS;
    bi.masks[0] = 0xF800;
    bi.masks[1] = 0x07E0;
    bi.masks[2] = 0x001F;
    EXPECT_TRUE(IsEqualGUID(MEDIASUBTYPE_RGB565, GetBitmapSubtype(&bi.h)));
    bi.h.biCompression = MAKEFOURCC('Y', 'U', 'Y', '2');
    EXPECT_TRUE(IsEqualGUID(MEDIASUBTYPE_YUY2, GetBitmapSubtype(&bi.h)));
    bi.h.biCompression = BI_RGB;
    bi.h.biBitCount = 7;
    EXPECT_TRUE(IsEqualGUID(GUID_NULL, GetBitmapSubtype(&bi.h)));
}

TEST(CRefTimeTest, ConvertsMillisecondsAndUnits) {
    const CRefTime t(1500L);
    EXPECT_EQ(15000000, t.GetUnits());
    EXPECT_EQ(1500, t.Millisecs());
    CRefTime sum = t;
    sum += CRefTime(static_cast<REFERENCE_TIME>(UNITS));
    EXPECT_EQ(2500, sum.Millisecs());
    sum -= CRefTime(500L);
    EXPECT_EQ(2 * UNITS, static_cast<REFERENCE_TIME>(sum));
}

// Echoes requests back plus 100; request 0 ends it.
class EchoThread : public CAMThread {
public:
    DWORD ThreadProc() override {
        for (;;) {
            const DWORD request = GetRequest();
            // The request stays visible until it is answered.
            DWORD peeked = 0;
            seenPending = CheckRequest(&peeked) && peeked == request;
            Reply(request + 100);
            if (request == 0) return 7;
        }
    }
    bool seenPending = false;
};

TEST(CAMThreadTest, RequestsAreAnsweredInOrderAndStayPendingUntilReplied) {
    EchoThread thread;
    EXPECT_EQ(static_cast<DWORD>(E_FAIL), thread.CallWorker(1));  // no thread yet
    ASSERT_TRUE(thread.Create());
    EXPECT_FALSE(thread.Create());  // one at a time
    EXPECT_EQ(101u, thread.CallWorker(1));
    EXPECT_EQ(142u, thread.CallWorker(42));
    EXPECT_TRUE(thread.seenPending);
    EXPECT_EQ(100u, thread.CallWorker(0));
    thread.Close();
    EXPECT_FALSE(thread.ThreadExists());
    ASSERT_TRUE(thread.Create());  // restartable after Close
    EXPECT_EQ(105u, thread.CallWorker(5));
    EXPECT_EQ(100u, thread.CallWorker(0));
}

// Dies without answering: the caller must not hang.
class SilentThread : public CAMThread {
public:
    DWORD ThreadProc() override {
        GetRequest();
        return 0;
    }
};

TEST(CAMThreadTest, CallerIsReleasedWhenTheWorkerEndsWithoutReplying) {
    SilentThread thread;
    ASSERT_TRUE(thread.Create());
    EXPECT_EQ(static_cast<DWORD>(E_FAIL), thread.CallWorker(3));
    thread.Close();
}

TEST(CAMEventTest, AutoResetEventIsConsumedByAWaitManualResetIsNot) {
    CAMEvent automatic(FALSE), manual(TRUE);
    automatic.Set();
    manual.Set();
    EXPECT_TRUE(automatic.Check());
    EXPECT_FALSE(automatic.Check());
    EXPECT_TRUE(manual.Check());
    EXPECT_TRUE(manual.Check());
    manual.Reset();
    EXPECT_FALSE(manual.Wait(10));
}

TEST(CCritSecTest, OwnershipIsVisibleForAssertions) {
    CCritSec cs;
    EXPECT_FALSE(CritCheckIn(&cs));
    {
        CAutoLock outer(&cs);
        CAutoLock inner(&cs);  // recursive
        EXPECT_TRUE(CritCheckIn(&cs));
    }
    EXPECT_TRUE(CritCheckOut(&cs));
}

}  // namespace
