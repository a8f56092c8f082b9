#include "fx2/fx2libusb.h"
#include "fx2/fx2portsource.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace fx2port;

TEST(Fx2Libusb, AFailingStartListsNoDevice) {
  TLibusbBackend backend({{0x04B4, 0x1002}}, [](libusb_context**) { return -99; });
  EXPECT_FALSE(backend.Started());
  EXPECT_EQ(backend.DeviceCount(), 0);
  EXPECT_EQ(backend.Open(0), nullptr);
}

// Whatever libusb finds on this machine, a device with IDs 0000:0000 does
// not exist, and listing must neither fail nor invent one.
TEST(Fx2Libusb, ListsNoDeviceForIdsNothingHas) {
  TLibusbBackend backend({{0x0000, 0x0000}});
  EXPECT_EQ(backend.DeviceCount(), 0);
  EXPECT_EQ(backend.Open(0), nullptr);
  TLibusbBackend unconfigured({});
  EXPECT_EQ(unconfigured.DeviceCount(), 0);
}

TEST(Fx2PortSource, AMissingBackendLibraryGivesAPortWithoutDevices) {
  EXPECT_EQ(LoadBackendLibrary("/nonexistent/libnothing.so"), nullptr);
  ::setenv(PortLibraryVariable, "/nonexistent/libnothing.so", 1);
  const std::unique_ptr<TFx2Port> port = CreatePortFromEnvironment();
  ::unsetenv(PortLibraryVariable);
  EXPECT_EQ(port->DeviceCount(), 0);
}

TEST(Fx2PortSource, WithoutConfiguredIdsTheLibusbPortListsNothing) {
  ::unsetenv(PortLibraryVariable);
  ::unsetenv(UsbIdsVariable);
  EXPECT_EQ(CreatePortFromEnvironment()->DeviceCount(), 0);
}
