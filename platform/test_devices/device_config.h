// Which test capture devices exist and how each behaves, read from a short
// configuration text so that tests can vary the device set without a rebuild:
//
//   cameras=3;camera1.name=Talvoro Pelloquin;camera2.nofriendlyname=1;
//   camera0.sizes=25;camera0.capssize=96;camera0.rgb=0;camera0.exclusive=1;mics=0
//
// Items are separated by ';' (so a name cannot contain one); keys are
// case-insensitive, values are taken as written. "" and "default" mean the
// default set: one camera "Talvoro Test Camera", one microphone
// "Talvoro Test Microphone". Counts not given keep the default of 1.
#pragma once

#include <string>
#include <vector>

#include "test_devices/video_modes.h"

namespace test_devices {

// Each kind has a fixed family of class identifiers, one per device index.
constexpr int kMaxDevicesPerKind = 16;
constexpr int kVideoCapsSize = 128;  // sizeof(VIDEO_STREAM_CONFIG_CAPS)
constexpr int kMaxCapsSize = 1024;

struct DeviceSettings {
    std::string name;  // UTF-8
    bool hasFriendlyName = true;
    int sizeCount = kDefaultSizeCount;  // cameras only
    int capsSize = kVideoCapsSize;      // cameras only: what GetNumberOfCapabilities reports
    bool rgb24 = true;                  // cameras only: whether RGB24 modes are offered
    // Cameras only: one graph at a time may have it paused or running, as
    // a real camera that another program holds; the next fails to start.
    bool exclusive = false;
};

struct DeviceSet {
    std::vector<DeviceSettings> cameras;
    std::vector<DeviceSettings> microphones;
};

std::string DefaultCameraName(int index);
std::string DefaultMicrophoneName(int index);
DeviceSet DefaultDeviceSet();

// On failure returns false, leaves *set untouched and says why in *error.
bool ParseDeviceSet(const std::string& text, DeviceSet* set, std::string* error);

}  // namespace test_devices
