// The device set as capture code sees it: through the system device
// enumerator, its monikers' property bags and BindToObject.
#include <dshow.h>

#include <string>
#include <vector>

#include "com_test.h"
#include "device_listing.h"
#include "test_devices/test_device_ids.h"

namespace test_devices {
namespace {

using DeviceEnumeration = ComTest;

std::vector<std::wstring> Names(const std::vector<ListedDevice>& devices) {
    std::vector<std::wstring> names;
    for (const ListedDevice& d : devices) names.push_back(d.hasFriendlyName ? d.friendlyName : L"<none>");
    return names;
}

CLSID ClassOf(IBaseFilter* filter) {
    CLSID clsid = GUID_NULL;
    filter->GetClassID(&clsid);
    return clsid;
}

TEST_F(DeviceEnumeration, DefaultSetIsOneCameraAndOneMicrophoneThatBind) {
    ASSERT_EQ(ConfigureTestDevices(L"default"), S_OK);
    const auto cameras = ListTestDevices(CLSID_VideoInputDeviceCategory);
    const auto microphones = ListTestDevices(CLSID_AudioInputDeviceCategory);
    EXPECT_EQ(Names(cameras), std::vector<std::wstring>{L"Talvoro Test Camera"});
    EXPECT_EQ(Names(microphones), std::vector<std::wstring>{L"Talvoro Test Microphone"});
    ASSERT_EQ(cameras.size(), 1u);
    ASSERT_EQ(microphones.size(), 1u);

    ComPtr<IBaseFilter> camera, microphone;
    ASSERT_EQ(BindDevice(cameras[0], &camera), S_OK);
    ASSERT_EQ(BindDevice(microphones[0], &microphone), S_OK);
    EXPECT_TRUE(IsEqualGUID(ClassOf(camera.Get()), kCameraClsids[0]));
    EXPECT_TRUE(IsEqualGUID(ClassOf(microphone.Get()), kMicrophoneClsids[0]));
}

TEST_F(DeviceEnumeration, NamesCountsAndAMissingFriendlyNameFollowTheConfiguration) {
    const std::wstring longName(200, L'W');
    const std::wstring text = L"cameras=4;camera0.name=" + longName +
                              L";camera1.name=Talvoro Pelloquin;camera2.nofriendlyname=1;"
                              L"mics=3;mic2.name=Desk Microphone";
    ASSERT_EQ(ConfigureTestDevices(text.c_str()), S_OK);

    // Devices are listed in index order: their instance keys are their class
    // identifiers, which differ only in the index byte.
    const auto cameras = ListTestDevices(CLSID_VideoInputDeviceCategory);
    EXPECT_EQ(Names(cameras), (std::vector<std::wstring>{longName, L"Talvoro Pelloquin", L"<none>",
                                                         L"Talvoro Test Camera 4"}));
    const auto microphones = ListTestDevices(CLSID_AudioInputDeviceCategory);
    EXPECT_EQ(Names(microphones),
              (std::vector<std::wstring>{L"Talvoro Test Microphone", L"Talvoro Test Microphone 2",
                                         L"Desk Microphone"}));
    ASSERT_EQ(cameras.size(), 4u);
    for (size_t i = 0; i < cameras.size(); ++i) {
        EXPECT_EQ(cameras[i].familyIndex, int(i));
        ComPtr<IBaseFilter> filter;
        ASSERT_EQ(BindDevice(cameras[i], &filter), S_OK) << "camera " << i;
        EXPECT_TRUE(IsEqualGUID(ClassOf(filter.Get()), kCameraClsids[i]));
    }
    // The nameless one still has a bag (with its CLSID) and still binds.
    EXPECT_FALSE(cameras[2].hasFriendlyName);
    EXPECT_TRUE(IsEqualGUID(cameras[2].clsid, kCameraClsids[2]));
}

TEST_F(DeviceEnumeration, EmptyCategoriesEnumerateAsSFalse) {
    ASSERT_EQ(ConfigureTestDevices(L"cameras=0;mics=0"), S_OK);
    for (const CLSID* category : {&CLSID_VideoInputDeviceCategory, &CLSID_AudioInputDeviceCategory}) {
        std::vector<ListedDevice> all;
        const HRESULT hr = ListDevices(*category, &all);
        EXPECT_TRUE(ListTestDevices(*category).empty());
        // Other modules may register devices of their own into the category.
        if (all.empty()) {
            EXPECT_EQ(hr, S_FALSE);
        }
    }
    ASSERT_EQ(ConfigureTestDevices(L"cameras=16;mics=0"), S_OK);
    EXPECT_EQ(ListTestDevices(CLSID_VideoInputDeviceCategory).size(), 16u);
    EXPECT_TRUE(ListTestDevices(CLSID_AudioInputDeviceCategory).empty());
}

TEST_F(DeviceEnumeration, ABadConfigurationIsRefusedAndChangesNothing) {
    ASSERT_EQ(ConfigureTestDevices(L"cameras=2"), S_OK);
    EXPECT_EQ(ConfigureTestDevices(L"cameras=2;camera5.name=x"), E_INVALIDARG);
    EXPECT_EQ(ConfigureTestDevices(L"cameras=17"), E_INVALIDARG);
    EXPECT_EQ(ListTestDevices(CLSID_VideoInputDeviceCategory).size(), 2u);
}

TEST_F(DeviceEnumeration, ACameraIsCreatedWithItsOwnConfiguration) {
    ASSERT_EQ(ConfigureTestDevices(L"cameras=2;camera1.sizes=7"), S_OK);
    int counts[2] = {};
    for (int i = 0; i < 2; ++i) {
        ComPtr<IBaseFilter> camera;
        ASSERT_EQ(CreateTestDevice(CLSID_VideoInputDeviceCategory, i, &camera), S_OK);
        ComPtr<IAMStreamConfig> config;
        ASSERT_EQ(CapturePin(camera.Get(), &config), S_OK);
        int size = 0;
        ASSERT_EQ(config->GetNumberOfCapabilities(&counts[i], &size), S_OK);
    }
    EXPECT_EQ(counts[0], 3 * 4);
    EXPECT_EQ(counts[1], 3 * 7);
}

}  // namespace
}  // namespace test_devices
