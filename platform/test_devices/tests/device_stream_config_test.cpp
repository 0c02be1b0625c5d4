// IAMStreamConfig and IKsPropertySet of the devices' capture pins, and the
// media types the pins offer before and after SetFormat.
#include <dshow.h>
#include <mmreg.h>

#include <cstring>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "com_test.h"
#include "device_listing.h"
#include "dshow_base/media_type.h"
#include "dshow_base/video_media_type.h"

namespace test_devices {
namespace {

constexpr const GUID& kI420 = video_media::kMediaSubtypeI420;

struct Caps {
    CMediaType type;
    VIDEO_STREAM_CONFIG_CAPS video;
};

class StreamConfig : public ComTest {
protected:
    void OpenCamera(LPCWSTR config) {
        ASSERT_EQ(ConfigureTestDevices(config), S_OK);
        ASSERT_EQ(CreateTestDevice(CLSID_VideoInputDeviceCategory, 0, &filter_), S_OK);
        ASSERT_EQ(CapturePin(filter_.Get(), &config_), S_OK);
        ASSERT_EQ(CapturePin(filter_.Get(), &pin_), S_OK);
    }
    void OpenMicrophone() {
        ASSERT_EQ(CreateTestDevice(CLSID_AudioInputDeviceCategory, 0, &filter_), S_OK);
        ASSERT_EQ(CapturePin(filter_.Get(), &config_), S_OK);
        ASSERT_EQ(CapturePin(filter_.Get(), &pin_), S_OK);
    }
    void TearDown() override {
        config_.Reset();
        pin_.Reset();
        filter_.Reset();
        ComTest::TearDown();
    }

    std::vector<Caps> AllCaps() {
        int count = 0, size = 0;
        EXPECT_EQ(config_->GetNumberOfCapabilities(&count, &size), S_OK);
        std::vector<Caps> all;
        for (int i = 0; i < count; ++i) {
            AM_MEDIA_TYPE* type = nullptr;
            Caps c{};
            EXPECT_EQ(config_->GetStreamCaps(i, &type, reinterpret_cast<BYTE*>(&c.video)), S_OK);
            if (!type) break;
            c.type = *type;
            DeleteMediaType(type);
            all.push_back(c);
        }
        return all;
    }

    std::vector<CMediaType> OfferedTypes() {
        ComPtr<IEnumMediaTypes> types;
        EXPECT_EQ(pin_->EnumMediaTypes(types.Put()), S_OK);
        std::vector<CMediaType> offered;
        AM_MEDIA_TYPE* type = nullptr;
        while (types && types->Next(1, &type, nullptr) == S_OK) {
            offered.emplace_back(*type);
            DeleteMediaType(type);
        }
        return offered;
    }

    CMediaType CurrentFormat() {
        AM_MEDIA_TYPE* type = nullptr;
        EXPECT_EQ(config_->GetFormat(&type), S_OK);
        CMediaType current;
        if (type) {
            current = *type;
            DeleteMediaType(type);
        }
        return current;
    }

    ComPtr<IBaseFilter> filter_;
    ComPtr<IAMStreamConfig> config_;
    ComPtr<IPin> pin_;
};

const VIDEOINFOHEADER& Vih(const AM_MEDIA_TYPE& type) {
    return *reinterpret_cast<const VIDEOINFOHEADER*>(type.pbFormat);
}

std::pair<long, long> SizeOf(const AM_MEDIA_TYPE& type) {
    return {Vih(type).bmiHeader.biWidth, Vih(type).bmiHeader.biHeight};
}

// The caps entry of `subtype` at `size`, or null.
const Caps* Find(const std::vector<Caps>& caps, const GUID& subtype, std::pair<long, long> size) {
    for (const Caps& c : caps) {
        if (IsEqualGUID(c.type.subtype, subtype) && SizeOf(c.type) == size) return &c;
    }
    return nullptr;
}

TEST_F(StreamConfig, CameraListsFourSizesInThreeFormatsWithConsistentTypes) {
    OpenCamera(L"default");
    int count = 0, size = 0;
    ASSERT_EQ(config_->GetNumberOfCapabilities(&count, &size), S_OK);
    EXPECT_EQ(count, 12);
    EXPECT_EQ(size, 128);
    EXPECT_EQ(sizeof(VIDEO_STREAM_CONFIG_CAPS), 128u);
    const std::vector<Caps> caps = AllCaps();
    ASSERT_EQ(caps.size(), 12u);

    struct Expected { const GUID* subtype; int bits; DWORD compression; int numerator, denominator; };
    const Expected formats[] = {{&MEDIASUBTYPE_RGB24, 24, BI_RGB, 3, 1},
                                {&MEDIASUBTYPE_YUY2, 16, MAKEFOURCC('Y', 'U', 'Y', '2'), 2, 1},
                                {&kI420, 12, MAKEFOURCC('I', '4', '2', '0'), 3, 2}};
    const std::pair<long, long> sizes[] = {{160, 120}, {320, 240}, {640, 480}, {1280, 720}};
    for (const Expected& f : formats) {
        for (const auto& s : sizes) {
            const Caps* c = Find(caps, *f.subtype, s);
            ASSERT_NE(c, nullptr) << s.first << "x" << s.second << " bits " << f.bits;
            const AM_MEDIA_TYPE& t = c->type;
            EXPECT_TRUE(IsEqualGUID(t.majortype, MEDIATYPE_Video));
            EXPECT_TRUE(IsEqualGUID(t.formattype, FORMAT_VideoInfo));
            ASSERT_GE(t.cbFormat, sizeof(VIDEOINFOHEADER));
            const BITMAPINFOHEADER& bmi = Vih(t).bmiHeader;
            const DWORD bytes = DWORD(s.first * s.second * f.numerator / f.denominator);
            EXPECT_EQ(bmi.biBitCount, f.bits);
            EXPECT_EQ(bmi.biCompression, f.compression);
            EXPECT_EQ(bmi.biSizeImage, bytes);
            EXPECT_TRUE(t.bFixedSizeSamples);
            EXPECT_EQ(t.lSampleSize, bytes);
            EXPECT_EQ(Vih(t).AvgTimePerFrame, 333333);
            EXPECT_TRUE(IsEqualGUID(c->video.guid, FORMAT_VideoInfo));
            EXPECT_EQ(c->video.MaxOutputSize.cx, s.first);
            EXPECT_EQ(c->video.MinOutputSize.cy, s.second);
            EXPECT_EQ(c->video.MinFrameInterval, 333333);
            EXPECT_GE(c->video.MaxFrameInterval, 333333);
        }
    }
    AM_MEDIA_TYPE* type = nullptr;
    BYTE raw[128];
    EXPECT_EQ(config_->GetStreamCaps(12, &type, raw), S_FALSE);
    EXPECT_EQ(config_->GetStreamCaps(-1, &type, raw), E_INVALIDARG);
}

TEST_F(StreamConfig, CameraWithManySizesListsThemAll) {
    OpenCamera(L"camera0.sizes=25");
    const std::vector<Caps> caps = AllCaps();
    ASSERT_EQ(caps.size(), 75u);
    std::set<std::pair<long, long>> rgbSizes;
    for (const Caps& c : caps) {
        if (IsEqualGUID(c.type.subtype, MEDIASUBTYPE_RGB24)) rgbSizes.insert(SizeOf(c.type));
    }
    EXPECT_EQ(rgbSizes.size(), 25u);
    // The default format is among them and is what the pin offers first.
    EXPECT_EQ(SizeOf(CurrentFormat()), std::make_pair(640L, 480L));
    EXPECT_EQ(OfferedTypes().size(), 75u);
}

TEST_F(StreamConfig, ReportedCapsSizeOverrideBoundsWhatGetStreamCapsWrites) {
    OpenCamera(L"camera0.capssize=96");
    int count = 0, size = 0;
    ASSERT_EQ(config_->GetNumberOfCapabilities(&count, &size), S_OK);
    EXPECT_EQ(count, 12);
    EXPECT_EQ(size, 96);
    BYTE buffer[160];
    std::memset(buffer, 0xcd, sizeof(buffer));
    AM_MEDIA_TYPE* type = nullptr;
    ASSERT_EQ(config_->GetStreamCaps(0, &type, buffer), S_OK);
    DeleteMediaType(type);
    for (size_t i = 96; i < sizeof(buffer); ++i) ASSERT_EQ(buffer[i], 0xcd) << "byte " << i;
    VIDEO_STREAM_CONFIG_CAPS head;
    std::memcpy(&head, buffer, 96);
    EXPECT_TRUE(IsEqualGUID(head.guid, FORMAT_VideoInfo));
}

TEST_F(StreamConfig, SetFormatLeavesOnlyThatTypeOnOffer) {
    OpenCamera(L"default");
    const CMediaType initial = CurrentFormat();
    EXPECT_EQ(SizeOf(initial), std::make_pair(640L, 480L));
    EXPECT_TRUE(IsEqualGUID(initial.subtype, MEDIASUBTYPE_RGB24));
    EXPECT_EQ(Vih(initial).AvgTimePerFrame, 333333);
    EXPECT_EQ(OfferedTypes().size(), 12u);
    EXPECT_TRUE(OfferedTypes()[0] == initial);

    const std::vector<Caps> caps = AllCaps();
    const Caps* yuy2 = Find(caps, MEDIASUBTYPE_YUY2, {320, 240});
    ASSERT_NE(yuy2, nullptr);
    CMediaType wanted = yuy2->type;
    reinterpret_cast<VIDEOINFOHEADER*>(wanted.pbFormat)->AvgTimePerFrame = 1000000;
    ASSERT_EQ(config_->SetFormat(&wanted), S_OK);
    const CMediaType current = CurrentFormat();
    EXPECT_TRUE(IsEqualGUID(current.subtype, MEDIASUBTYPE_YUY2));
    EXPECT_EQ(SizeOf(current), std::make_pair(320L, 240L));
    EXPECT_EQ(Vih(current).AvgTimePerFrame, 1000000);
    const std::vector<CMediaType> offered = OfferedTypes();
    ASSERT_EQ(offered.size(), 1u);
    EXPECT_TRUE(offered[0] == current);
    EXPECT_EQ(pin_->QueryAccept(&yuy2->type), S_FALSE) << "the frame rate is part of the format";
    CMediaType anyRate = wanted;
    reinterpret_cast<VIDEOINFOHEADER*>(anyRate.pbFormat)->AvgTimePerFrame = 0;
    EXPECT_EQ(pin_->QueryAccept(&anyRate), S_OK) << "no frame rate: the set one";
    EXPECT_EQ(pin_->QueryAccept(&caps[0].type), S_FALSE) << "another size";

    // Null goes back to the full list.
    ASSERT_EQ(config_->SetFormat(nullptr), S_OK);
    EXPECT_EQ(OfferedTypes().size(), 12u);
    EXPECT_TRUE(CurrentFormat() == initial);
}

TEST_F(StreamConfig, SetFormatRefusesWhatTheCameraCannotDo) {
    OpenCamera(L"default");
    const CMediaType initial = CurrentFormat();
    CMediaType odd = initial;
    auto* vih = reinterpret_cast<VIDEOINFOHEADER*>(odd.pbFormat);
    vih->bmiHeader.biWidth = 300;
    EXPECT_EQ(config_->SetFormat(&odd), VFW_E_INVALIDMEDIATYPE);
    odd = initial;
    reinterpret_cast<VIDEOINFOHEADER*>(odd.pbFormat)->AvgTimePerFrame = 100000;  // 100 fps
    EXPECT_EQ(config_->SetFormat(&odd), VFW_E_INVALIDMEDIATYPE);
    odd = initial;
    odd.subtype = MEDIASUBTYPE_RGB32;
    EXPECT_EQ(config_->SetFormat(&odd), VFW_E_INVALIDMEDIATYPE);
    EXPECT_TRUE(CurrentFormat() == initial);
    EXPECT_EQ(OfferedTypes().size(), 12u);
}

TEST_F(StreamConfig, CapturePinsAnswerTheirCategory) {
    for (const CLSID* category : {&CLSID_VideoInputDeviceCategory, &CLSID_AudioInputDeviceCategory}) {
        ComPtr<IBaseFilter> filter;
        ASSERT_EQ(CreateTestDevice(*category, 0, &filter), S_OK);
        ComPtr<IKsPropertySet> properties;
        ASSERT_EQ(CapturePin(filter.Get(), &properties), S_OK);
        GUID pinCategory = GUID_NULL;
        DWORD returned = 0;
        ASSERT_EQ(properties->Get(AMPROPSETID_Pin, AMPROPERTY_PIN_CATEGORY, nullptr, 0, &pinCategory,
                                  sizeof(pinCategory), &returned),
                  S_OK);
        EXPECT_TRUE(IsEqualGUID(pinCategory, PIN_CATEGORY_CAPTURE));
        EXPECT_EQ(returned, sizeof(GUID));
        DWORD support = 0;
        EXPECT_EQ(properties->QuerySupported(AMPROPSETID_Pin, AMPROPERTY_PIN_CATEGORY, &support), S_OK);
        EXPECT_EQ(support, DWORD(KSPROPERTY_SUPPORT_GET));
        EXPECT_EQ(properties->Set(AMPROPSETID_Pin, AMPROPERTY_PIN_CATEGORY, nullptr, 0, &pinCategory,
                                  sizeof(pinCategory)),
                  E_PROP_ID_UNSUPPORTED);
        EXPECT_EQ(properties->Get(AMPROPSETID_Pin, AMPROPERTY_PIN_MEDIUM, nullptr, 0, &pinCategory,
                                  sizeof(pinCategory), &returned),
                  E_PROP_ID_UNSUPPORTED);
        EXPECT_EQ(properties->QuerySupported(MEDIATYPE_Video, 0, &support), E_PROP_SET_UNSUPPORTED);
    }
}

TEST_F(StreamConfig, MicrophoneOffersStereoThenMonoAndKeepsASetFormat) {
    OpenMicrophone();
    int count = 0, size = 0;
    ASSERT_EQ(config_->GetNumberOfCapabilities(&count, &size), S_OK);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(size, int(sizeof(AUDIO_STREAM_CONFIG_CAPS)));
    CMediaType mono;
    for (int i = 0; i < count; ++i) {
        AM_MEDIA_TYPE* type = nullptr;
        AUDIO_STREAM_CONFIG_CAPS caps{};
        ASSERT_EQ(config_->GetStreamCaps(i, &type, reinterpret_cast<BYTE*>(&caps)), S_OK);
        const auto* wfx = reinterpret_cast<const WAVEFORMATEX*>(type->pbFormat);
        EXPECT_TRUE(IsEqualGUID(type->subtype, MEDIASUBTYPE_PCM));
        EXPECT_EQ(wfx->nChannels, i == 0 ? 2 : 1);
        EXPECT_EQ(wfx->nSamplesPerSec, 44100u);
        EXPECT_EQ(wfx->wBitsPerSample, 16);
        EXPECT_EQ(wfx->nBlockAlign, 2 * wfx->nChannels);
        EXPECT_EQ(wfx->nAvgBytesPerSec, 44100u * wfx->nBlockAlign);
        EXPECT_EQ(caps.MaximumChannels, wfx->nChannels);
        EXPECT_EQ(caps.MinimumSampleFrequency, 44100u);
        if (i == 1) mono = *type;
        DeleteMediaType(type);
    }
    EXPECT_EQ(reinterpret_cast<const WAVEFORMATEX*>(CurrentFormat().pbFormat)->nChannels, 2);
    EXPECT_EQ(OfferedTypes().size(), 2u);
    ASSERT_EQ(config_->SetFormat(&mono), S_OK);
    EXPECT_TRUE(CurrentFormat() == mono);
    const std::vector<CMediaType> offered = OfferedTypes();
    ASSERT_EQ(offered.size(), 1u);
    EXPECT_TRUE(offered[0] == mono);
}

}  // namespace
}  // namespace test_devices
