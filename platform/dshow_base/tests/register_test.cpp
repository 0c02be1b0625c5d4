// Registration through AMovieDllRegisterServer2 and the device-instance
// helpers: what lands in HKCR, what the filter mapper and the system device
// enumerator then list, and what unregistration leaves behind.
#include <dshow.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "device_probe.h"
#include "dshow_base/register.h"
#include "registry_probe.h"
#include "server_module/server_module_ids.h"
#include "server_module_loader.h"

namespace {

struct ClassEntry {
    const CLSID* clsid;
    const wchar_t* name;
};
const ClassEntry kClasses[] = {
    {&CLSID_TestThing, kTestThingName},     {&CLSID_TestCamera, kTestCameraName},
    {&CLSID_TestStandIn, kTestStandInName}, {&CLSID_TestRefusing, L"Test Refusing"},
    {&CLSID_TestPage, L"Test Page"},        {&CLSID_TestPageClassic, L"Test Page Classic"},
};

const wchar_t kForeignServer[] = L"C:\\windows\\system32\\foreign_stand_in.dll";

bool SamePath(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

std::set<std::wstring> Names(const std::vector<ListedDevice>& devices) {
    std::set<std::wstring> names;
    for (const ListedDevice& d : devices) names.insert(d.friendlyName);
    return names;
}

bool Contains(const std::vector<ListedDevice>& devices, REFCLSID clsid) {
    return std::any_of(devices.begin(), devices.end(),
                       [&](const ListedDevice& d) { return IsEqualCLSID(d.clsid, clsid); });
}

// Everything the module's registration can touch.
RegistrySnapshot ModuleState() {
    RegistrySnapshot all;
    for (const ClassEntry& c : kClasses) {
        const RegistrySnapshot part = Snapshot(ClassKey(*c.clsid));
        all.insert(part.begin(), part.end());
    }
    for (const auto& key : {InstanceKey(CLSID_LegacyAmFilterCategory, GuidText(CLSID_TestThing)),
                            InstanceKey(CLSID_LegacyAmFilterCategory, GuidText(CLSID_TestStandIn)),
                            InstanceKey(CLSID_VideoInputDeviceCategory, kTestCameraInstance)}) {
        const RegistrySnapshot part = Snapshot(key);
        all.insert(part.begin(), part.end());
    }
    return all;
}

const AMOVIESETUP_MEDIATYPE kCameraTypes[] = {{&MEDIATYPE_Video, &MEDIASUBTYPE_RGB24}};
const AMOVIESETUP_PIN kCameraPins[] = {{L"Capture", FALSE, TRUE, FALSE, FALSE, &CLSID_NULL, nullptr, 1, kCameraTypes}};
const AMOVIESETUP_FILTER kCameraSetup = {&CLSID_TestCamera, L"ignored", MERIT_DO_NOT_USE, 1, kCameraPins};

class RegisterTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(com_.Result()));
        ASSERT_TRUE(module_.Loaded()) << "test module missing";
        module_.Unregister();  // a run that stopped half-way may have left entries
    }
    void TearDown() override {
        module_.Unregister();
        RemoveForeignStandIn();
        for (const wchar_t* instance : {L"Cam A", L"Cam B", L"Nameless"}) {
            UnregisterDeviceInstance(CLSID_VideoInputDeviceCategory, CLSID_TestCamera, instance);
        }
    }

    // What a system filter's registration looks like: its own server and mapper entry.
    void InstallForeignStandIn() {
        WriteString(ClassKey(CLSID_TestStandIn), nullptr, L"Foreign Filter");
        WriteString(ClassKey(CLSID_TestStandIn) + L"\\InprocServer32", nullptr, kForeignServer);
        WriteString(ClassKey(CLSID_TestStandIn) + L"\\InprocServer32", L"ThreadingModel", L"Both");
        ComPtr<IFilterMapper2> mapper;
        ASSERT_EQ(S_OK, CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER, IID_IFilterMapper2,
                                         mapper.PutVoid()));
        REGFILTER2 desc = {};
        desc.dwVersion = 1;
        desc.dwMerit = MERIT_DO_NOT_USE;
        ASSERT_EQ(S_OK, mapper->RegisterFilter(CLSID_TestStandIn, L"Foreign Filter", nullptr,
                                               &CLSID_LegacyAmFilterCategory, nullptr, &desc));
    }
    void RemoveForeignStandIn() {
        if (!SamePath(StringValue(ClassKey(CLSID_TestStandIn) + L"\\InprocServer32", nullptr), kForeignServer)) {
            return;
        }
        DeleteTree(InstanceKey(CLSID_LegacyAmFilterCategory, GuidText(CLSID_TestStandIn)));
        DeleteTree(ClassKey(CLSID_TestStandIn));
    }

    ScopedCom com_;
    ServerModule module_;
};

TEST_F(RegisterTest, ClassKeysNameTheTemplateAndThisModule) {
    ASSERT_EQ(S_OK, module_.Register());
    for (const ClassEntry& c : kClasses) {
        const std::wstring key = ClassKey(*c.clsid);
        SCOPED_TRACE(testing::Message() << "class " << std::string(key.begin(), key.end()));
        EXPECT_EQ(std::wstring(c.name), StringValue(key, nullptr));
        EXPECT_TRUE(SamePath(module_.Path(), StringValue(key + L"\\InprocServer32", nullptr)));
        EXPECT_EQ(L"Both", StringValue(key + L"\\InprocServer32", L"ThreadingModel"));
    }
    // COM finds the server from these keys alone.
    ComPtr<ITestThing> thing;
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_TestThing, nullptr, CLSCTX_INPROC_SERVER, IID_ITestThing,
                                     thing.PutVoid()));
    thing->SetValue(3);
    EXPECT_EQ(3, thing->Value());
}

TEST_F(RegisterTest, FilterIsMatchedByItsPinTypesAndMerit) {
    ASSERT_EQ(S_OK, module_.Register());
    const std::vector<ListedDevice> matched = MatchingFilters(MEDIATYPE_TestMajor, MEDIASUBTYPE_TestMinor, MERIT_UNLIKELY);
    ASSERT_TRUE(Contains(matched, CLSID_TestThing));
    EXPECT_EQ(std::set<std::wstring>{kTestThingName}, Names(matched));  // the stand-in's merit is below
    EXPECT_FALSE(Contains(MatchingFilters(MEDIATYPE_Video, MEDIASUBTYPE_TestMinor, MERIT_UNLIKELY), CLSID_TestThing));

    const std::vector<ListedDevice> legacy = ListCategoryFor(CLSID_LegacyAmFilterCategory, CLSID_TestThing);
    ASSERT_EQ(1u, legacy.size());
    EXPECT_EQ(kTestThingName, legacy[0].friendlyName);
    EXPECT_TRUE(ValueExists(InstanceKey(CLSID_LegacyAmFilterCategory, GuidText(CLSID_TestThing)), L"FilterData"));
}

TEST_F(RegisterTest, DeviceTemplateIsListedInItsCategoryAndBinds) {
    ASSERT_EQ(S_OK, module_.Register());
    const std::vector<ListedDevice> cameras = ListCategoryFor(CLSID_VideoInputDeviceCategory, CLSID_TestCamera);
    ASSERT_EQ(1u, cameras.size());
    EXPECT_EQ(kTestCameraName, cameras[0].friendlyName);
    EXPECT_TRUE(KeyExists(InstanceKey(CLSID_VideoInputDeviceCategory, kTestCameraInstance)));
    EXPECT_FALSE(Contains(ListCategory(CLSID_LegacyAmFilterCategory), CLSID_TestCamera));

    ComPtr<ITestThing> camera;
    ASSERT_EQ(S_OK, BindListed(CLSID_VideoInputDeviceCategory, CLSID_TestCamera, IID_ITestThing, camera.PutVoid()));
    EXPECT_EQ(0, camera->Value());
}

TEST_F(RegisterTest, RegisteringTwiceLeavesTheSameState) {
    ASSERT_EQ(S_OK, module_.Register());
    const RegistrySnapshot once = ModuleState();
    ASSERT_EQ(S_OK, module_.Register());
    EXPECT_EQ(once, ModuleState());
    EXPECT_EQ(1u, ListCategoryFor(CLSID_VideoInputDeviceCategory, CLSID_TestCamera).size());
}

TEST_F(RegisterTest, UnregisterRemovesEverythingItWrote) {
    ASSERT_EQ(S_OK, module_.Register());
    ASSERT_EQ(S_OK, module_.Unregister());
    EXPECT_TRUE(ModuleState().empty());
    EXPECT_FALSE(Contains(MatchingFilters(MEDIATYPE_TestMajor, MEDIASUBTYPE_TestMinor, 0), CLSID_TestThing));
    EXPECT_TRUE(ListCategoryFor(CLSID_VideoInputDeviceCategory, CLSID_TestCamera).empty());
    EXPECT_EQ(S_OK, module_.Unregister());  // nothing left to remove is not an error
}

TEST_F(RegisterTest, StandInTakesAFreeClassAndGivesItBack) {
    ASSERT_FALSE(KeyExists(ClassKey(CLSID_TestStandIn)));
    ASSERT_EQ(S_OK, module_.Register());
    EXPECT_TRUE(SamePath(module_.Path(), StringValue(ClassKey(CLSID_TestStandIn) + L"\\InprocServer32", nullptr)));
    const std::vector<ListedDevice> listed = ListCategoryFor(CLSID_LegacyAmFilterCategory, CLSID_TestStandIn);
    ASSERT_EQ(1u, listed.size());
    EXPECT_EQ(kTestStandInName, listed[0].friendlyName);

    ASSERT_EQ(S_OK, module_.Unregister());
    EXPECT_FALSE(KeyExists(ClassKey(CLSID_TestStandIn)));
    EXPECT_TRUE(ListCategoryFor(CLSID_LegacyAmFilterCategory, CLSID_TestStandIn).empty());
}

TEST_F(RegisterTest, StandInLeavesAForeignRegistrationAlone) {
    InstallForeignStandIn();
    const RegistrySnapshot foreignClass = Snapshot(ClassKey(CLSID_TestStandIn));
    const RegistrySnapshot foreignEntry =
        Snapshot(InstanceKey(CLSID_LegacyAmFilterCategory, GuidText(CLSID_TestStandIn)));
    ASSERT_FALSE(foreignClass.empty());
    ASSERT_FALSE(foreignEntry.empty());

    ASSERT_EQ(S_OK, module_.Register());
    EXPECT_EQ(foreignClass, Snapshot(ClassKey(CLSID_TestStandIn)));
    EXPECT_EQ(foreignEntry, Snapshot(InstanceKey(CLSID_LegacyAmFilterCategory, GuidText(CLSID_TestStandIn))));
    EXPECT_TRUE(KeyExists(ClassKey(CLSID_TestThing)));  // the other templates were registered

    ASSERT_EQ(S_OK, module_.Unregister());
    EXPECT_EQ(foreignClass, Snapshot(ClassKey(CLSID_TestStandIn)));
    EXPECT_EQ(foreignEntry, Snapshot(InstanceKey(CLSID_LegacyAmFilterCategory, GuidText(CLSID_TestStandIn))));
    EXPECT_FALSE(KeyExists(ClassKey(CLSID_TestThing)));
}

TEST_F(RegisterTest, SeveralInstancesOfOneDeviceClassListUnderTheirOwnNames) {
    ASSERT_EQ(S_OK, RegisterDeviceInstance(CLSID_VideoInputDeviceCategory, CLSID_TestCamera, L"Cam A",
                                           L"Front Camera", &kCameraSetup, MERIT_DO_NOT_USE));
    ASSERT_EQ(S_OK, RegisterDeviceInstance(CLSID_VideoInputDeviceCategory, CLSID_TestCamera, L"Cam B",
                                           L"Rear Camera", &kCameraSetup, MERIT_DO_NOT_USE));
    ASSERT_EQ(S_OK, RegisterDeviceInstance(CLSID_VideoInputDeviceCategory, CLSID_TestCamera, L"Cam A",
                                           L"Front Camera", &kCameraSetup, MERIT_DO_NOT_USE));
    EXPECT_EQ((std::set<std::wstring>{L"Front Camera", L"Rear Camera"}),
              Names(ListCategoryFor(CLSID_VideoInputDeviceCategory, CLSID_TestCamera)));
    EXPECT_EQ(2u, ListCategoryFor(CLSID_VideoInputDeviceCategory, CLSID_TestCamera).size());
    EXPECT_EQ(L"Front Camera", StringValue(DeviceInstanceKeyPath(CLSID_VideoInputDeviceCategory, CLSID_TestCamera,
                                                                 L"Cam A"), L"FriendlyName"));

    ASSERT_EQ(S_OK, UnregisterDeviceInstance(CLSID_VideoInputDeviceCategory, CLSID_TestCamera, L"Cam A"));
    EXPECT_EQ(std::set<std::wstring>{L"Rear Camera"},
              Names(ListCategoryFor(CLSID_VideoInputDeviceCategory, CLSID_TestCamera)));
    EXPECT_EQ(S_OK, UnregisterDeviceInstance(CLSID_VideoInputDeviceCategory, CLSID_TestCamera, L"Cam A"));
}

TEST_F(RegisterTest, DeviceEntryWithoutFriendlyName) {
    ASSERT_EQ(S_OK, RegisterDeviceInstanceWithoutFriendlyName(CLSID_VideoInputDeviceCategory, CLSID_TestCamera,
                                                              L"Nameless", &kCameraSetup, MERIT_DO_NOT_USE));
    const std::wstring key = InstanceKey(CLSID_VideoInputDeviceCategory, L"Nameless");
    EXPECT_EQ(GuidText(CLSID_TestCamera), StringValue(key, L"CLSID"));
    EXPECT_TRUE(ValueExists(key, L"FilterData"));
    EXPECT_FALSE(ValueExists(key, L"FriendlyName"));

    const std::vector<ListedDevice> listed = ListCategoryFor(CLSID_VideoInputDeviceCategory, CLSID_TestCamera);
    ASSERT_EQ(1u, listed.size()) << "the device enumerator skips an entry without FriendlyName";
    EXPECT_FALSE(listed[0].hasFriendlyName);
}

}  // namespace
