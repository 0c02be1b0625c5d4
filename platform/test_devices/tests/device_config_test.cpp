#include "test_devices/device_config.h"

#include <gtest/gtest.h>

namespace test_devices {
namespace {

DeviceSet Parse(const std::string& text) {
    DeviceSet set;
    std::string error;
    EXPECT_TRUE(ParseDeviceSet(text, &set, &error)) << text << ": " << error;
    return set;
}

std::string Rejection(const std::string& text) {
    DeviceSet set = DefaultDeviceSet();
    set.cameras.clear();
    std::string error;
    EXPECT_FALSE(ParseDeviceSet(text, &set, &error)) << text;
    EXPECT_TRUE(set.cameras.empty()) << "a rejected text must leave the set alone";
    return error;
}

TEST(DeviceConfig, DefaultIsOneCameraAndOneMicrophone) {
    for (const char* text : {"", "default", " Default ", ";;"}) {
        const DeviceSet set = Parse(text);
        ASSERT_EQ(set.cameras.size(), 1u) << text;
        ASSERT_EQ(set.microphones.size(), 1u) << text;
        EXPECT_EQ(set.cameras[0].name, "Talvoro Test Camera");
        EXPECT_EQ(set.microphones[0].name, "Talvoro Test Microphone");
        EXPECT_TRUE(set.cameras[0].hasFriendlyName);
        EXPECT_EQ(set.cameras[0].sizeCount, 4);
        EXPECT_EQ(set.cameras[0].capsSize, 128);
    }
}

TEST(DeviceConfig, CountsAndPerDeviceItemsInAnyOrder) {
    const DeviceSet set = Parse(
        "camera1.name=Talvoro Pelloquin;cameras=3;camera2.nofriendlyname=1;"
        "camera0.sizes=25;camera0.capssize=96;mics=0;camera2.rgb=0;camera1.exclusive=1");
    ASSERT_EQ(set.cameras.size(), 3u);
    EXPECT_TRUE(set.cameras[0].rgb24);
    EXPECT_FALSE(set.cameras[0].exclusive);
    EXPECT_TRUE(set.cameras[1].exclusive);
    EXPECT_FALSE(set.cameras[2].rgb24);
    EXPECT_TRUE(set.microphones.empty());
    EXPECT_EQ(set.cameras[0].name, "Talvoro Test Camera");
    EXPECT_EQ(set.cameras[0].sizeCount, 25);
    EXPECT_EQ(set.cameras[0].capsSize, 96);
    EXPECT_EQ(set.cameras[1].name, "Talvoro Pelloquin");
    EXPECT_EQ(set.cameras[1].sizeCount, 4);
    EXPECT_TRUE(set.cameras[1].hasFriendlyName);
    EXPECT_EQ(set.cameras[2].name, "Talvoro Test Camera 3");
    EXPECT_FALSE(set.cameras[2].hasFriendlyName);
}

TEST(DeviceConfig, NamesKeepSpacesAndLengthKeysIgnoreCase) {
    const std::string longName(200, 'x');
    const DeviceSet set = Parse("MICS=2;Mic1.Name= spaced " + longName + " ;CAMERA0.NAME=" + longName);
    ASSERT_EQ(set.microphones.size(), 2u);
    EXPECT_EQ(set.microphones[0].name, "Talvoro Test Microphone");
    EXPECT_EQ(set.microphones[1].name, " spaced " + longName + " ");
    EXPECT_EQ(set.cameras[0].name, longName);
}

TEST(DeviceConfig, LimitsOfCountsAndSizes) {
    EXPECT_EQ(Parse("cameras=16").cameras.size(), 16u);
    EXPECT_EQ(Parse("cameras=16").cameras[15].name, "Talvoro Test Camera 16");
    EXPECT_EQ(Parse("camera0.sizes=32").cameras[0].sizeCount, 32);
    EXPECT_EQ(Parse("camera0.capssize=1024").cameras[0].capsSize, 1024);
    Rejection("cameras=17");
    Rejection("mics=-1");
    Rejection("camera0.sizes=0");
    Rejection("camera0.sizes=33");
    Rejection("camera0.capssize=0");
    Rejection("camera0.capssize=1025");
}

TEST(DeviceConfig, MistakesAreRefusedWithTheOffendingItem) {
    EXPECT_NE(Rejection("cameras=2;camera2.name=x").find("camera2.name"), std::string::npos);
    EXPECT_NE(Rejection("camera0.colour=red").find("camera0.colour"), std::string::npos);
    EXPECT_NE(Rejection("webcam0.name=x").find("webcam0.name"), std::string::npos);
    EXPECT_NE(Rejection("cameras").find("cameras"), std::string::npos);
    Rejection("cameras=two");
    Rejection("camera.name=x");
    Rejection("camera0name=x");
    Rejection("mic0.sizes=5");  // a microphone has no picture sizes
    Rejection("camera0.nofriendlyname=yes");
    Rejection("mics=1;mic1.name=x");
}

}  // namespace
}  // namespace test_devices
