#include "lodrastcodec.h"

#include <gtest/gtest.h>

#include <vector>

using namespace sartel::lodrast;

namespace {

std::vector<std::uint8_t> Words(std::initializer_list<std::uint16_t> words) {
  std::vector<std::uint8_t> bytes;
  for (std::uint16_t w : words) {
    bytes.push_back(static_cast<std::uint8_t>(w >> 8));
    bytes.push_back(static_cast<std::uint8_t>(w & 0xFF));
  }
  return bytes;
}

}  // namespace

TEST(LodrastCodec, CommandPackets) {
  EXPECT_EQ(Command(OpStatus, NoArgument), (TPacket{7, 0, 1, 0x55}));
  EXPECT_EQ(Command(OpRunControl, RunArgument), (TPacket{22, 0, 1, 0x90}));
  EXPECT_EQ(Command(OpStart, TriggerFreeRunning), (TPacket{18, 0, 1, 1}));
  EXPECT_EQ(ReadOutCommand(0x4000), (TPacket{0x10, 0x80, 0x00, 0x55}));
  EXPECT_EQ(ReadOutBytes(0x4000), 32768);
  EXPECT_EQ(TemperatureCommand(0), (TPacket{8, 0, 1, 16}));
  EXPECT_EQ(TemperatureCommand(3), (TPacket{8, 0, 1, 31}));
}

TEST(LodrastCodec, ReadOutLengthStaysInItsField) {
  // A memory larger than the 16-bit length can ask for is read only as far
  // as the field reaches, never wrapped to a short count.
  EXPECT_EQ(ReadOutBytes(0x8000), 0xFFFE);
  EXPECT_EQ(ReadOutBytes(-5), 0);
  EXPECT_EQ(ReadOutCommand(0x8000), (TPacket{0x10, 0xFF, 0xFE, 0x55}));
}

TEST(LodrastCodec, CaptureProgramming) {
  const auto header = ProgramHeader();
  EXPECT_EQ(std::vector<std::uint8_t>(header.begin(), header.end()), (std::vector<std::uint8_t>{0x15, 0x00, 0x04}));
  EXPECT_EQ(ProgramParameters(0, 2, 0), (std::array<std::uint8_t, 4>{0xFF, 0x07, 0x00, 0x00}));
  EXPECT_EQ(ProgramParameters(2, 12, 3), (std::array<std::uint8_t, 4>{0x33, 0x1F, 0x4E, 15}));
  EXPECT_EQ(ProgramParameters(1, 9, 1), (std::array<std::uint8_t, 4>{0x66, 0xCF, 0x07, 5}));
  // Indexes outside the tables send zeros rather than reading past them.
  EXPECT_EQ(ProgramParameters(3, 13, 4), (std::array<std::uint8_t, 4>{0, 0, 0, 0}));
  EXPECT_EQ(ProgramParameters(-1, -1, -1), (std::array<std::uint8_t, 4>{0, 0, 0, 0}));
}

TEST(LodrastCodec, AddressAndRevolutions) {
  EXPECT_EQ(DecodeAddress({0x34, 0x92, 0x05}), 0x1234);
  EXPECT_EQ(DecodeAddress({0xFF, 0xFF, 0xFF}), 0x7FFF);
  EXPECT_EQ(DecodeRevolutions({0x00, 0x80, 0x01}, 3), 1 + 256 + 1536);
  // Bit 15 of the counter word is not part of the count.
  EXPECT_EQ(DecodeRevolutions({0x00, 0x00, 0x00}, 0x8001), 512);
  EXPECT_EQ(DecodeRevolutions({0xFF, 0xFF, 0xFF}, 0xFFFF), 0xFFFFFF);
}

TEST(LodrastCodec, SampleVectors) {
  const std::vector<std::uint8_t> reply = Words({0x812C, 0x0100, 0x812C, 0x8000, 0xFFFF});
  std::int32_t out[5] = {};
  DecodeSamples(reply.data(), 2, 1, out);
  EXPECT_EQ(out[0], 0);
  EXPECT_EQ(out[1], -32768);
  DecodeSamples(reply.data() + 2, 1, 0, out);
  EXPECT_EQ(out[0], -32637);
  // Gain 2 takes 520 off; the largest word stays within 16 bits.
  DecodeSamples(reply.data() + 8, 1, 2, out);
  EXPECT_EQ(out[0], 0xFFFF - 520 - 32768);
}

TEST(LodrastCodec, LastTwoSamplesRepeatTheThirdLast) {
  const std::vector<std::uint8_t> reply = Words({0x8000 + 125, 0x8001 + 125, 0x8002 + 125, 0x9000, 0xA000});
  std::int32_t out[5] = {};
  DecodeSamples(reply.data(), 5, 0, out);
  EXPECT_EQ((std::vector<std::int32_t>(out, out + 5)), (std::vector<std::int32_t>{0, 1, 2, 2, 2}));
}

TEST(LodrastCodec, ShortReadOutsAreGuarded) {
  const std::vector<std::uint8_t> reply = Words({0x8000, 0x8100});
  std::int32_t out[3] = {7, 7, 7};
  DecodeSamples(reply.data(), 2, 3, out);
  // Fewer than three samples: nothing to repeat, nothing written beyond n.
  EXPECT_EQ(out[0], 0);
  EXPECT_EQ(out[1], 0x100);
  EXPECT_EQ(out[2], 7);
  DecodeSamples(reply.data(), 0, 0, out);
  EXPECT_EQ(out[0], 0);

  EXPECT_EQ(SamplesToDecode(0x5000, 0x8000), 0x4000);
  EXPECT_EQ(SamplesToDecode(100, 0x8000), 100);
  EXPECT_EQ(SamplesToDecode(-1, 0x8000), 0);
  EXPECT_EQ(SamplesToDecode(10, 7), 3);
}

TEST(LodrastCodec, Temperature) {
  std::array<std::uint8_t, TemperatureReplySize> reply{};
  for (std::size_t i = 0; i < TemperatureWords; ++i) {
    // Words alternating 0x1000 and 0x3000 average to 0x2000.
    reply[2 * i] = i % 2 ? 0x30 : 0x10;
  }
  ASSERT_TRUE(DecodeTemperature(reply, 0).has_value());
  EXPECT_DOUBLE_EQ(*DecodeTemperature(reply, 0), 8192.0 * 5000 / 65535);
  EXPECT_DOUBLE_EQ(*DecodeTemperature(reply, 1), 8192.0 * 2000 / 65535);
  EXPECT_DOUBLE_EQ(*DecodeTemperature(reply, 2), 8192.0 * 1000 / 65535);
  EXPECT_FALSE(DecodeTemperature(reply, 3).has_value());
  reply.fill(0xFF);
  EXPECT_DOUBLE_EQ(*DecodeTemperature(reply, 0), 5000.0);
}
