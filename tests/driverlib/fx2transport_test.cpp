#include "fx2simfixture.h"
#include "sanitizerslowdown.h"

#include "clock.h"

#include <gtest/gtest.h>

using namespace sartel::fx2;
using sim::TFx2Fault;

namespace {

std::size_t CountPrefix(const std::vector<std::string>& log, const std::string& prefix) {
  return static_cast<std::size_t>(
      std::count_if(log.begin(), log.end(), [&](const std::string& e) { return e.rfind(prefix, 0) == 0; }));
}

} // namespace

using Fx2Transport = Fx2SimTest;

TEST_F(Fx2Transport, OpensAndReadsDescriptorsStringsAndQueries) {
  auto fx2 = Transport();
  CUsbDevice& d = fx2->Device();
  EXPECT_FALSE(d.IsOpen());
  EXPECT_EQ(d.DeviceCount(), 1);
  ASSERT_TRUE(d.Open(0));
  EXPECT_EQ(d.Descriptor.VendorID, 0x5A45);
  EXPECT_EQ(d.Product, u"Kalvenor2");
  EXPECT_EQ(d.Manufacturer, u"Zelto");
  EXPECT_EQ(d.SerialNumber, u"00001");
  EXPECT_EQ(d.USBAddress, 2);
  EXPECT_TRUE(d.bHighSpeed);
  EXPECT_EQ(d.DeviceName, "sim-fx2-0");
  ASSERT_NE(d.BulkInEndPt, nullptr);
  ASSERT_NE(d.BulkOutEndPt, nullptr);
  EXPECT_EQ(d.BulkInEndPt->Address, Fx2BulkInAddress);
  EXPECT_EQ(d.BulkInEndPt->MaxTransferSize, 512u);
  EXPECT_TRUE(d.BulkInEndPt->bDirect);
  EXPECT_EQ(d.EndPointOf(0), d.ControlEndPt);
  EXPECT_EQ(d.EndPointOf(0x81), nullptr);
  EXPECT_EQ(d.ErrorText(), "Failed to find endpoint.");
  d.Close();
  EXPECT_FALSE(d.IsOpen());
  EXPECT_EQ(d.Product, u"");
}

TEST_F(Fx2Transport, WithoutDevicesTheCountIsZeroAndOpenFails) {
  Sim([](sim::TSimFx2World& w) { w.SetDevices(0); });
  auto fx2 = Transport();
  EXPECT_EQ(fx2->Device().DeviceCount(), 0);
  EXPECT_FALSE(fx2->Device().Open(0));
  EXPECT_FALSE(fx2->ControlOut(0xB7, 0, 0, nullptr, 0));
  EXPECT_TRUE(TakeLog().empty());
}

TEST_F(Fx2Transport, StringsAreReadInUsEnglishWhenOffered) {
  auto fx2 = Transport();
  ASSERT_TRUE(fx2->Device().Open(0));
  EXPECT_EQ(fx2->Device().StrLangID, 0x0409);
  const std::vector<std::string> log = TakeLog();
  EXPECT_EQ(CountPrefix(log, "ctl 06 in v=0302 i=0409"), 2u);
  EXPECT_EQ(CountPrefix(log, "ctl 06 in v=0302 i=0407"), 0u);
}

TEST_F(Fx2Transport, StringsAreReadInTheFirstLanguageOtherwise) {
  Unit([](sim::TSimFx2Unit& u) { u.Device.Languages = {0x0407, 0x040C}; });
  auto fx2 = Transport();
  ASSERT_TRUE(fx2->Device().Open(0));
  EXPECT_EQ(fx2->Device().StrLangID, 0x0407);
  EXPECT_EQ(fx2->Device().Product, u"Kalvenor2");
}

TEST_F(Fx2Transport, StringIndexZeroReadsAsEmptyWithoutARequest) {
  Unit([](sim::TSimFx2Unit& u) { u.Device.StringIndexes = {1, 2, 0}; });
  auto fx2 = Transport();
  ASSERT_TRUE(fx2->Device().Open(0));
  EXPECT_EQ(fx2->Device().SerialNumber, u"");
  EXPECT_EQ(fx2->Device().Product, u"Kalvenor2");
  // Only the language table is read with index 0, once for its length and once whole.
  EXPECT_EQ(CountPrefix(TakeLog(), "ctl 06 in v=0300 "), 2u);
}

TEST_F(Fx2Transport, OversizeBulkTransferFailsWithoutIo) {
  auto fx2 = Transport();
  ASSERT_TRUE(fx2->Device().Open(0));
  TakeLog();
  std::vector<uint8_t> data(513, 0);
  EXPECT_FALSE(fx2->BulkOut(data.data(), 513));
  EXPECT_FALSE(fx2->BulkIn(data.data(), 513));
  EXPECT_EQ(fx2->ErrorText(), "USB transfer larger than the endpoint allows.");
  EXPECT_TRUE(TakeLog().empty());
}

TEST_F(Fx2Transport, FullSpeedDevicesHaveSmallerTransfers) {
  Unit([](sim::TSimFx2Unit& u) { u.Device.HighSpeed = false; });
  auto fx2 = Transport();
  ASSERT_TRUE(fx2->Device().Open(0));
  EXPECT_FALSE(fx2->HighSpeed());
  EXPECT_EQ(fx2->BulkInMaxTransferSize(), 64u);
}

TEST_F(Fx2Transport, NoMatchingAlternateSettingFailsToFindEndpoints) {
  Unit([](sim::TSimFx2Unit& u) { u.AlternateSetting = 5; });
  auto fx2 = Transport();
  ASSERT_TRUE(fx2->Device().Open(0));
  EXPECT_EQ(fx2->Device().Interface, nullptr);
  EXPECT_EQ(fx2->Device().BulkInEndPt, nullptr);
  TakeLog();
  const uint8_t byte = 0;
  EXPECT_FALSE(fx2->BulkOut(&byte, 1));
  EXPECT_EQ(fx2->ErrorText(), "Failed to find endpoint.");
  EXPECT_EQ(fx2->BulkInMaxTransferSize(), 0u);
  EXPECT_TRUE(TakeLog().empty());
  EXPECT_TRUE(fx2->ControlOut(0xB7, 0, 0, nullptr, 0)) << "the control endpoint needs no interface";
}

TEST_F(Fx2Transport, OldDriversGetBufferedTransfers) {
  Unit([](sim::TSimFx2Unit& u) { u.DriverVersion = 0x01050400; });
  auto fx2 = Transport();
  ASSERT_TRUE(fx2->Device().Open(0));
  EXPECT_FALSE(fx2->Device().BulkInEndPt->bDirect);
  EXPECT_FALSE(fx2->Device().BulkOutEndPt->bDirect);
  // A read-back: control byte with bit 7 clear, announce one byte, read it.
  const uint8_t control = 0x00;
  const uint8_t count[2] = {0, 1};
  uint8_t answer = 0xEE;
  ASSERT_TRUE(fx2->ControlOut(0xB3, 0, 0, &control, 1));
  ASSERT_TRUE(fx2->ControlOut(0xB2, 0, 0, count, 2));
  ASSERT_TRUE(fx2->BulkIn(&answer, 1));
  EXPECT_EQ(answer, 0);
  const uint8_t command[2] = {0x01, 0x40};
  const uint8_t memories = 0xB0;
  ASSERT_TRUE(fx2->ControlOut(0xB3, 0, 0, &memories, 1));
  EXPECT_TRUE(fx2->BulkOut(command, 2));
  Unit([](sim::TSimFx2Unit& u) { EXPECT_EQ(u.Device.ProtocolErrors, 0); });
}

TEST_F(Fx2Transport, AHangingTransferIsAbortedAfterTheTimeOut) {
  auto fx2 = Transport(150);
  ASSERT_TRUE(fx2->Device().Open(0));
  Fault("bulk-in", TFx2Fault::Hang);
  uint8_t byte = 0xEE;
  const uint32_t start = rtl::GetTickCount();
  EXPECT_FALSE(fx2->BulkIn(&byte, 1));
  const uint32_t took = rtl::GetTickCount() - start;
  EXPECT_GE(took, 140u);
  EXPECT_LT(took, 2000u * testsupport::kSanitizerSlowdown);
  EXPECT_EQ(fx2->ErrorText(), "USB transfer timed out.");
  EXPECT_EQ(byte, 0xEE);
  Unit([](sim::TSimFx2Unit& u) { EXPECT_EQ(u.Waiting, 0) << "the abort waited for the cancelled transfer"; });
  EXPECT_TRUE(fx2->ControlOut(0xB7, 0, 0, nullptr, 0)) << "the device works on after an abort";
}

TEST_F(Fx2Transport, ControlRequestsCarryTheirTimeOutInTheRecord) {
  // The endpoint waits 1999 ms, but the record says whole seconds, 1 s: the
  // port's own time-out ends the hanging request first, as a failure rather
  // than an abort (which the endpoint's time-out would have made: "USB
  // transfer timed out."). The outcome tells which ended it; the time only
  // that the record's second was waited.
  auto fx2 = Transport(1999);
  ASSERT_TRUE(fx2->Device().Open(0));
  Fault("B5", TFx2Fault::Hang);
  uint8_t status = 0;
  const uint32_t start = rtl::GetTickCount();
  EXPECT_FALSE(fx2->ControlIn(0xB5, 0, 0, &status, 1));
  const uint32_t took = rtl::GetTickCount() - start;
  EXPECT_GE(took, 950u);
  EXPECT_EQ(fx2->ErrorText(), "USB transfer failed.");
  EXPECT_EQ(fx2->Device().ControlEndPt->NtStatus, fx2port::NtIoTimeout);
}

TEST_F(Fx2Transport, FailedAndShortTransfersFail) {
  auto fx2 = Transport();
  ASSERT_TRUE(fx2->Device().Open(0));
  Fault("B5", TFx2Fault::Fail, 0, 1);
  uint8_t status = 0;
  EXPECT_FALSE(fx2->ControlIn(0xB5, 0, 0, &status, 1));
  EXPECT_EQ(fx2->ErrorText(), "USB transfer failed.");
  EXPECT_EQ(fx2->Device().ControlEndPt->UsbdStatus, fx2port::UsbdStall);
  EXPECT_TRUE(fx2->ControlIn(0xB5, 0, 0, &status, 1));

  Fault("control-in", TFx2Fault::Short, 0, 1);
  uint8_t eeprom[128];
  EXPECT_FALSE(fx2->ControlIn(0xA9, 0x5000, 0, eeprom, 128));
  EXPECT_EQ(fx2->ErrorText(), "USB transfer returned too few bytes.");
  Fault("bulk-out", TFx2Fault::Short, 0, 1);
  const uint8_t two[2] = {0x01, 0x40};
  EXPECT_FALSE(fx2->BulkOut(two, 2));
  EXPECT_EQ(fx2->ErrorText(), "USB transfer sent too few bytes.");
}

TEST_F(Fx2Transport, UnknownVendorRequestsStall) {
  auto fx2 = Transport();
  ASSERT_TRUE(fx2->Device().Open(0));
  uint8_t byte = 0;
  EXPECT_FALSE(fx2->ControlIn(0xC5, 0, 0, &byte, 1));
  Unit([](sim::TSimFx2Unit& u) { EXPECT_EQ(u.Device.ProtocolErrors, 1); });
}
