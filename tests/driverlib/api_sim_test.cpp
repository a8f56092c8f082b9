// The device API against the simulated D2XX library: listing, opening,
// configuration with the image upload, identity, item tables, demo mode and
// the raw accessors.

#include "simfixture.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace {

std::u16string Terminated(const char16_t* text) { return std::u16string(text); }

TEST_F(SartelSim, ListsOnlyExactDescriptions) {
  Sim.SetDevices(4);
  Sim.SetDescription(1, "Kalvenor2");
  Sim.SetDescription(2, "kalvenor");
  std::array<std::int32_t, 256> indices;
  indices.fill(-7);
  EXPECT_EQ(_ListDevices(indices.data(), nullptr), 2);
  EXPECT_EQ(indices[0], 0);
  EXPECT_EQ(indices[1], 3);
  EXPECT_EQ(indices[2], -7);
  EXPECT_EQ(LastError(), 0);
}

TEST_F(SartelSim, ListingWritesAtMost256Entries) {
  Sim.SetDevices(300);
  std::vector<std::int32_t> indices(300, -7);
  EXPECT_EQ(_ListDevices(indices.data(), nullptr), 256);
  EXPECT_EQ(indices[255], 255);
  EXPECT_EQ(indices[256], -7);
}

// Listing with a host is the network model's (lodrast_api_test).
TEST_F(SartelSim, ListingRefusesANullArray) {
  EXPECT_EQ(_ListDevices(nullptr, nullptr), 0);
  EXPECT_NE(LastError(), 0);
}

TEST_F(SartelSim, FailedListingGivesItsText) {
  Sim.InjectFault("FT_ListDevices", SIMD2XX_FAULT_FAIL, 0, 1);
  std::array<std::int32_t, 256> indices{};
  std::string text;
  EXPECT_EQ(_ListDevices(indices.data(), nullptr), 0);
  EXPECT_EQ(LastError(&text), 1);
  EXPECT_EQ(text, "Could not list USB devices");
}

TEST_F(SartelSim, OneDeviceOpensConfiguresAndIdentifies) {
  ASSERT_TRUE(Open());
  char16_t description[SARTEL_TEXT_LENGTH] = {};
  _GetDeviceDescr(0, description);
  EXPECT_EQ(Terminated(description), u"Kalvenor");
  EXPECT_TRUE(_InitDevice());
  ASSERT_TRUE(_ConfigDevice(0, false));
  // The device holds exactly the image file.
  std::vector<std::uint8_t> uploaded(Image.size() + 10);
  EXPECT_EQ(Sim.GetImage(0, uploaded.data(), static_cast<int>(uploaded.size())), static_cast<int>(Image.size()));
  uploaded.resize(Image.size());
  EXPECT_EQ(uploaded, Image);
  // Start-up's signature check: identity equals the listed description.
  char16_t identity[SARTEL_IDENTITY_LENGTH] = {};
  _GetDeviceID(identity);
  EXPECT_EQ(Terminated(identity), Terminated(description));
  char16_t serial[SARTEL_TEXT_LENGTH] = {}, version[SARTEL_TEXT_LENGTH] = {};
  _GetDeviceSN(serial);
  _GetDeviceVer(version);
  EXPECT_EQ(Terminated(serial), u"000517");
  EXPECT_EQ(Terminated(version), u"2.1");
  EXPECT_EQ(_GetDeviceRamSize(), 0x80000);
  EXPECT_EQ(_GetClockItems(SARTEL_SELECT_COUNT), 10);
  EXPECT_EQ(_GetClockItems(SARTEL_SELECT_ENTRY), 200000);
  EXPECT_EQ(_GetGainItems(SARTEL_SELECT_COUNT), 3);
  EXPECT_EQ(_GetGainItems(SARTEL_SELECT_ENTRY + 1), 500);
  EXPECT_EQ(_GetConfigItems(SARTEL_SELECT_ENTRY), 2048);
  EXPECT_EQ(_GetConfigItems(SARTEL_SELECT_COUNT), 0);
  EXPECT_EQ(_GetDeviceCalibration(2, 'A'), 0x1222);
  EXPECT_EQ(_GetDeviceCalibration(2, 'B'), 0x1222);
  EXPECT_EQ(_GetDeviceCalibration(8, 'A'), 0);
  EXPECT_EQ(_GetConfigByte(0), 0);
}

TEST_F(SartelSim, SmallMemoryAndAnEmptyConfiguration) {
  std::array<std::uint8_t, 256> memory{};
  memory[0] = 'Z';
  Sim.SetConfigMemory(0, memory.data());
  ASSERT_TRUE(OpenAndConfigure());
  EXPECT_EQ(_GetDeviceRamSize(), 0x20000);
  memory.fill(0xFF);
  Sim.SetConfigMemory(0, memory.data());
  ASSERT_TRUE(_ConfigDevice(0, false));
  char16_t identity[SARTEL_IDENTITY_LENGTH] = {};
  _GetDeviceID(identity);
  // 0xFF in the first byte: no configuration, the copy stays zero.
  EXPECT_EQ(identity[0], u'\0');
  EXPECT_EQ(_GetDeviceRamSize(), 0x20000);
}

TEST_F(SartelSim, DeviceTextsAreBoundedAndTerminated) {
  std::array<std::uint8_t, 256> memory;
  memory.fill('K');
  Sim.SetConfigMemory(0, memory.data());
  ASSERT_TRUE(OpenAndConfigure());
  std::u16string identity(SARTEL_IDENTITY_LENGTH, u'#');
  _GetDeviceID(identity.data());
  EXPECT_EQ(identity.find(u'\0'), 99u);
  EXPECT_EQ(identity.substr(0, 3), u"KKK");
  EXPECT_EQ(identity[100], u'#');
  std::u16string serial(SARTEL_TEXT_LENGTH, u'#');
  _GetDeviceSN(serial.data());
  EXPECT_EQ(serial.find(u'\0'), 99u);
  // A longer older text is overwritten up to the terminator.
  std::u16string older(SARTEL_TEXT_LENGTH, u'#');
  memory = {};
  std::copy_n("Kalvenor", 8, memory.begin());
  Sim.SetConfigMemory(0, memory.data());
  ASSERT_TRUE(_ConfigDevice(0, false));
  _GetDeviceID(older.data());
  EXPECT_EQ(Terminated(older.c_str()), u"Kalvenor");
  EXPECT_EQ(older[9], u'#');
}

TEST_F(SartelSim, GarbageDescriptionStaysInItsField) {
  std::array<std::int32_t, 256> indices{};
  ASSERT_EQ(_ListDevices(indices.data(), nullptr), 1);
  Sim.InjectFault("FT_ListDevices", SIMD2XX_FAULT_GARBAGE, 0, 1);
  std::u16string description(SARTEL_TEXT_LENGTH + 20, u'#');
  _GetDeviceDescr(0, description.data());
  const std::size_t end = description.find(u'\0');
  ASSERT_NE(end, std::u16string::npos);
  EXPECT_LT(end, static_cast<std::size_t>(SARTEL_TEXT_LENGTH));
  EXPECT_EQ(description[SARTEL_TEXT_LENGTH], u'#');
  EXPECT_TRUE(std::all_of(description.begin(), description.begin() + end, [](char16_t c) { return c < 256; }));
  // A garbage device count: the scan stays bounded and still finds the one.
  Sim.InjectFault("FT_ListDevices", SIMD2XX_FAULT_GARBAGE, 0, 1);
  EXPECT_EQ(_ListDevices(indices.data(), nullptr), 1);
  // Garbage descriptions: nothing is listed.
  Sim.InjectFault("FT_ListDevices", SIMD2XX_FAULT_GARBAGE, 1, -1);
  EXPECT_EQ(_ListDevices(indices.data(), nullptr), 0);
}

TEST_F(SartelSim, OpeningFailures) {
  std::array<std::int32_t, 256> indices{};
  ASSERT_EQ(_ListDevices(indices.data(), nullptr), 1);
  std::string text;
  Sim.InjectFault("FT_ListDevices", SIMD2XX_FAULT_FAIL, 0, 1);
  _OpenDevice(0);
  EXPECT_EQ(LastError(&text), 1);
  EXPECT_EQ(text, "Could not get device description.");
  Sim.InjectFault("FT_W32_CreateFile", SIMD2XX_FAULT_FAIL, 0, 1);
  _OpenDevice(0);
  EXPECT_EQ(LastError(&text), 2);
  EXPECT_EQ(text, "Could not open USB channel.");
  Sim.InjectFault("FT_SetUSBParameters", SIMD2XX_FAULT_FAIL, 0, 1);
  _OpenDevice(0);
  EXPECT_EQ(LastError(&text), 3);
  EXPECT_EQ(text, "Could not set USB in/out buffer parameters");
  Sim.InjectFault("FT_SetLatencyTimer", SIMD2XX_FAULT_FAIL, 0, 1);
  _OpenDevice(0);
  EXPECT_EQ(LastError(&text), 5);
  EXPECT_EQ(text, "Could not set USB latency time");
  // Each attempt closed the earlier handle: the device opens again.
  _OpenDevice(0);
  EXPECT_EQ(LastError(), 0);
  Sim.InjectFault("FT_ListDevices", SIMD2XX_FAULT_FAIL, 0, 1);
  char16_t description[SARTEL_TEXT_LENGTH] = {};
  _GetDeviceDescr(0, description);
  EXPECT_EQ(LastError(&text), 1);
  EXPECT_EQ(text, "Could not get device descriptor");
}

TEST_F(SartelSim, UploadFailureCodes) {
  ASSERT_TRUE(Open());
  _InitDevice();
  std::string text;

  Sim.InjectFault("FT_SetBitMode", SIMD2XX_FAULT_FAIL, 0, 1);
  EXPECT_FALSE(_ConfigDevice(0, false));
  EXPECT_EQ(LastError(&text), 4);
  EXPECT_EQ(text, "Could not configure device.");
  // The bridge was still taken out of bit-bang mode.
  EXPECT_EQ(Sim.CallCount("FT_SetBitMode"), 2);

  Sim.InjectFault("FT_W32_WriteFile", SIMD2XX_FAULT_FAIL, 0, 1);
  EXPECT_FALSE(_ConfigDevice(0, false));
  EXPECT_EQ(LastError(&text), 3);
  EXPECT_EQ(text, "Could not clear device.");

  Sim.InjectFault("FT_ResetDevice", SIMD2XX_FAULT_FAIL, 0, 1);
  Sim.InjectFault("FT_Open", SIMD2XX_FAULT_FAIL, 0, 1);
  EXPECT_FALSE(_ConfigDevice(0, false));
  EXPECT_EQ(LastError(&text), 1);
  EXPECT_EQ(text, "Communication error. Device not found.");
}

TEST_F(SartelSim, UploadReopensAfterAFailedReset) {
  ASSERT_TRUE(Open());
  _InitDevice();
  Sim.InjectFault("FT_ResetDevice", SIMD2XX_FAULT_FAIL, 0, 1);
  EXPECT_TRUE(_ConfigDevice(0, false));
  EXPECT_EQ(Sim.CallCount("FT_Close"), 1);
  EXPECT_EQ(Sim.CallCount("FT_Open"), 1);
  EXPECT_EQ(_StatusLED(false), 1);
}

TEST_F(SartelSim, MissingImageFile) {
  std::filesystem::remove(Folder / "Lib" / "Harvik.lib");
  ASSERT_TRUE(Open());
  _InitDevice();
  std::string text;
  EXPECT_FALSE(_ConfigDevice(0, false));
  EXPECT_EQ(LastError(&text), 2);
  EXPECT_EQ(text, "Missing library.");
}

TEST_F(SartelSim, RejectedImageLeavesADeviceThatDoesNotAnswer) {
  WriteImage({});
  ASSERT_TRUE(Open());
  _InitDevice();
  std::string text;
  EXPECT_FALSE(_ConfigDevice(0, false));
  EXPECT_EQ(LastError(&text), 1);
  EXPECT_EQ(text, "Communication error, read timeout");
}

TEST_F(SartelSim, DemoWithNoDevice) {
  Sim.SetDevices(0);
  std::array<std::int32_t, 256> indices{};
  EXPECT_EQ(_ListDevices(indices.data(), nullptr), 0);
  EXPECT_EQ(LastError(), 0);
  EXPECT_TRUE(_InitDevice());
  EXPECT_TRUE(_ConfigDevice(0, true));
  EXPECT_EQ(_GetDeviceRamSize(), 0x4000);
  EXPECT_EQ(_GetClockItems(SARTEL_SELECT_COUNT), 13);
  EXPECT_EQ(_GetGainItems(SARTEL_SELECT_ENTRY), 2500);
  EXPECT_EQ(_GetConfigItems(SARTEL_SELECT_ENTRY), 0x8000);
  EXPECT_EQ(_ReadStatus(), 0);
  EXPECT_EQ(_StatusLED(true), 0);
  _FreeDevice();
  EXPECT_EQ(Sim.CallCount("FT_W32_WriteFile"), 0);
}

TEST_F(SartelSim, DemoWithSeveralDevicesTouchesNone) {
  Sim.SetDevices(2);
  std::array<std::int32_t, 256> indices{};
  EXPECT_EQ(_ListDevices(indices.data(), nullptr), 2);
  _InitDevice();
  EXPECT_TRUE(_ConfigDevice(0, true));
  EXPECT_EQ(_GetDeviceRamSize(), 0x4000);
  EXPECT_EQ(_GetClockItems(SARTEL_SELECT_COUNT), 13);
  _FreeDevice();
  EXPECT_EQ(Sim.CallCount("FT_W32_WriteFile"), 0);
  EXPECT_EQ(Sim.CallCount("FT_W32_ReadFile"), 0);
}

TEST_F(SartelSim, DemoAfterAFailedOpeningTouchesNothingMore) {
  std::array<std::int32_t, 256> indices{};
  ASSERT_EQ(_ListDevices(indices.data(), nullptr), 1);
  Sim.InjectFault("FT_SetTimeouts", SIMD2XX_FAULT_FAIL, 0, 1);
  _OpenDevice(0);
  EXPECT_EQ(LastError(), 5);
  _InitDevice();
  const int writes = Sim.CallCount("FT_W32_WriteFile");
  EXPECT_TRUE(_ConfigDevice(0, true));
  _FreeDevice();
  EXPECT_EQ(Sim.CallCount("FT_W32_WriteFile"), writes);
  // _FreeDriver closes the handle the failed opening left, once.
  _FreeDriver();
  EXPECT_EQ(Sim.CallCount("FT_W32_CloseHandle"), 1);
}

TEST_F(SartelSim, CloseInvalidatesAndFreeDriverClosesOnce) {
  ASSERT_TRUE(OpenAndConfigure());
  EXPECT_EQ(_CloseDevice(), 1);
  EXPECT_EQ(_StatusLED(true), 0);
  EXPECT_EQ(LastError(), 1);
  _FreeDevice();
  _FreeDriver();
  EXPECT_EQ(Sim.CallCount("FT_W32_CloseHandle"), 1);
  EXPECT_EQ(_ReadStatus(), 0);
}

TEST_F(SartelSim, FreeDeviceResetsTheDevice) {
  ASSERT_TRUE(OpenAndConfigure());
  ASSERT_EQ(_QPRE4902(23, 0), 1);
  std::uint8_t status = 0;
  ASSERT_EQ(_ARPJ9457(10, &status), 1);
  EXPECT_EQ(status, 0x40);
  _FreeDevice();
  ASSERT_EQ(_ARPJ9457(10, &status), 1);
  EXPECT_EQ(status, 0x00);
}

TEST_F(SartelSim, RawAccessors) {
  ASSERT_TRUE(OpenAndConfigure());
  EXPECT_EQ(_QPRE4902(33, 0x21), 1);
  std::uint8_t value = 0;
  EXPECT_EQ(_ARPJ9457(33, &value), 1);
  EXPECT_EQ(value, 0x21);
  EXPECT_EQ(_QPRE4902(128, 1), 0);
  EXPECT_EQ(_ARPJ9457(-1, &value), 0);
  EXPECT_EQ(_ARPJ9457(10, nullptr), 0);

  EXPECT_EQ(_StatusLED(false), 1);
  EXPECT_EQ(Sim.GetRegister(0, 32), 8);
  EXPECT_EQ(_StatusLED(true), 1);
  EXPECT_EQ(Sim.GetRegister(0, 32), 0);

  std::vector<std::uint8_t> bank(1000);
  for (std::size_t i = 0; i < bank.size(); ++i) bank[i] = static_cast<std::uint8_t>(i * 7);
  EXPECT_EQ(_WriteRAM(1, bank.data(), 1000), 1);
  std::vector<std::uint8_t> back(1000);
  EXPECT_EQ(_ReadRAM(1, back.data(), 1000), 1);
  EXPECT_EQ(back, bank);
  EXPECT_EQ(_ReadRAM(3, back.data(), 1000), 0);
  EXPECT_EQ(_ReadRAM(0, back.data(), 0), 0);
  EXPECT_EQ(_ReadRAM(0, back.data(), 0x1000000), 0);
  EXPECT_EQ(_WriteRAM(0, nullptr, 10), 0);

  std::array<std::uint8_t, 256> memory{};
  EXPECT_EQ(_NGRH0485(memory.data()), 1);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(memory.data())), "Kalvenor");
  memory[27] = '9';
  EXPECT_EQ(_NAOP4239(memory.data()), 1);
  std::array<std::uint8_t, 256> again{};
  EXPECT_EQ(_NGRH0485(again.data()), 1);
  EXPECT_EQ(again, memory);
  EXPECT_EQ(_NGRH0485(nullptr), 0);
  EXPECT_EQ(_Clear(), 1);
  EXPECT_EQ(_EndCapture(), 0);
  EXPECT_EQ(_GetAddress(), 0);
  EXPECT_EQ(_ErrorLED(true), 0);
  EXPECT_EQ(_LaserEnable(true), 0);
  double a = -1;
  EXPECT_EQ(_GetTemperature(&a, nullptr), 0);
  EXPECT_EQ(a, -1);
}

TEST(SartelLifecycle, ExportsAnswerZeroOutsideADriverSession) {
  std::int32_t indices[256] = {};
  char16_t text[SARTEL_TEXT_LENGTH] = {u'#'};
  for (int round = 0; round < 2; ++round) {
    EXPECT_EQ(_ListDevices(indices, nullptr), 0);
    EXPECT_EQ(_GetLastErrorStr(text), 0);
    EXPECT_EQ(text[0], u'#');
    EXPECT_EQ(_GetDeviceRamSize(), 0);
    EXPECT_EQ(_GetClockItems(SARTEL_SELECT_COUNT), 0);
    EXPECT_EQ(_CPSet(), 0);
    EXPECT_FALSE(_InitDevice());
    EXPECT_FALSE(_ConfigDevice(0, true));
    EXPECT_EQ(_QPRE4902(1, 1), 0);
    _SetPath(u"/tmp");
    _FreeDevice();
    // Second round: after a whole session.
    _InitDriver();
    _FreeDriver();
  }
}

}  // namespace
