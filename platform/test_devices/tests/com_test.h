// Base fixture of the test device tests: COM for the test's thread, and the
// default device set restored whatever the test configured.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include "test_devices/test_device_client.h"

namespace test_devices {

class ComTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))); }
    void TearDown() override {
        EXPECT_EQ(ConfigureTestDevices(nullptr), S_OK);
        CoUninitialize();
    }
};

}  // namespace test_devices
