#include "simkalvenor2.h"

#include <gtest/gtest.h>

namespace {

fx2port::TSetupPacket Vendor(bool in, uint8_t request, uint16_t value, uint16_t length) {
  return {static_cast<uint8_t>(in ? 0xC0 : 0x40), request, value, 0, length};
}

class SimFx2Device : public ::testing::Test {
protected:
  sim::TSignalModel Rotor;
  double Clock = 0;
  sim::TSimKalvenor2 Device{Rotor, Clock};
  uint32_t Moved = 0;
};

} // namespace

TEST_F(SimFx2Device, BulkInWithoutAnnouncementIsNotAnswered) {
  uint8_t byte = 0;
  EXPECT_FALSE(Device.BulkIn(&byte, 1, Moved));
  EXPECT_EQ(Device.ProtocolErrors, 1);
  const uint8_t count[2] = {0, 1};
  ASSERT_TRUE(Device.Control(Vendor(false, 0xB2, 0, 2), const_cast<uint8_t*>(count), Moved));
  uint8_t two[2] = {};
  EXPECT_TRUE(Device.BulkIn(two, 2, Moved));
  EXPECT_EQ(Moved, 1u) << "no more than announced";
}

TEST_F(SimFx2Device, RequestsWithWrongLengthsOrUnknownCodesStall) {
  uint8_t data[4] = {};
  EXPECT_FALSE(Device.Control(Vendor(false, 0xB3, 0, 2), data, Moved));
  EXPECT_FALSE(Device.Control(Vendor(true, 0xB5, 0, 2), data, Moved));
  EXPECT_FALSE(Device.Control(Vendor(true, 0xA9, 0x7FF0, 128), data, Moved)) << "past the EEPROM";
  EXPECT_FALSE(Device.Control(Vendor(false, 0xBF, 0, 0), data, Moved));
  EXPECT_EQ(Device.ProtocolErrors, 4);
}

TEST_F(SimFx2Device, TheProductStringIsTheEepromIdentity) {
  EXPECT_EQ(Device.IdentityText(), "Kalvenor2");
  uint8_t descriptor[64] = {};
  ASSERT_TRUE(Device.Control({0x80, 6, 0x0302, 0x0409, 64}, descriptor, Moved));
  EXPECT_EQ(Moved, 2u + 2u * 9u);
  EXPECT_EQ(descriptor[2], 'K');
  Device.Eeprom.fill(0xFF);
  EXPECT_EQ(Device.IdentityText(), "");
  ASSERT_TRUE(Device.Control({0x80, 6, 0x0302, 0x0409, 64}, descriptor, Moved));
  EXPECT_EQ(Moved, 2u);
  EXPECT_FALSE(Device.Control({0x80, 6, 0x0302, 0x0411, 64}, descriptor, Moved)) << "a language not offered";
}
