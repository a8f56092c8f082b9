#include "kalvenor2protocol.h"

#include <gtest/gtest.h>

#include <vector>

using namespace sartel::kalvenor2;

namespace {

void PutText(std::vector<uint8_t>& block, std::size_t& pos, const std::string& text, std::size_t length) {
  block[pos] = static_cast<uint8_t>(length >> 8);
  block[pos + 1] = static_cast<uint8_t>(length);
  std::copy(text.begin(), text.end(), block.begin() + static_cast<std::ptrdiff_t>(pos + 2));
  pos += 2 + length;
}

std::vector<uint8_t> Block(const std::string& id, const std::string& version, const std::string& serial) {
  std::vector<uint8_t> block(IdentityBlockSize, 0);
  block[0] = 0x05;
  block[15] = 0xAB;
  std::size_t pos = 16;
  PutText(block, pos, id, id.size());
  PutText(block, pos, version, version.size());
  PutText(block, pos, serial, serial.size());
  return block;
}

} // namespace

TEST(Kalvenor2Protocol, ControlByteComposesTheSevenFields) {
  TControl c;
  EXPECT_EQ(ControlByte(c), 0x00);
  c.Bit7 = c.Bit5 = c.Bit4 = true;
  EXPECT_EQ(ControlByte(c), 0xB0);
  c.Bit3 = c.Bit2 = true;
  c.Selector = 3;
  EXPECT_EQ(ControlByte(c), 0xBF);
  c.Selector = 7;
  EXPECT_EQ(ControlByte(c), 0xBF) << "the selector has two bits";
}

TEST(Kalvenor2Protocol, GainCodesAndDividers) {
  EXPECT_EQ(GainCode(0, 0), 0xFF);
  EXPECT_EQ(GainCode(1, 0), 0x66);
  EXPECT_EQ(GainCode(2, 0), 0x33);
  EXPECT_EQ(GainCode(3, 0x66), 0x66) << "another index keeps the previous byte";
  EXPECT_EQ(GainCode(-1, 0x00), 0x00);
  EXPECT_EQ(SamplingDivider(0), 1);
  EXPECT_EQ(SamplingDivider(12), 19999);
  EXPECT_EQ(SamplingDivider(13), 0);
  EXPECT_EQ(SamplingDivider(-1), 0);
}

TEST(Kalvenor2Protocol, SampleWordsDecodeAsOffsetBinary) {
  const std::vector<uint8_t> raw = {0x80, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0x80, 0x07, 0x7F, 0xFF};
  int32_t out[5] = {};
  EXPECT_EQ(DecodeSamples(raw, false, out, 5), 5u);
  EXPECT_EQ(out[0], 0);
  EXPECT_EQ(out[1], -32768);
  EXPECT_EQ(out[2], 32767);
  EXPECT_EQ(DecodeSamples(raw, true, out, 5), 5u);
  EXPECT_EQ(out[3], 0);
  EXPECT_EQ(out[4], -16);
  int32_t few[5] = {9, 9, 9, 9, 9};
  EXPECT_EQ(DecodeSamples(std::span(raw).first(5), false, few, 5), 2u);
  EXPECT_EQ(few[2], 9);
}

TEST(Kalvenor2Protocol, ReadBackRegistersAndTemperature) {
  EXPECT_EQ(WriteAddress(0x34, 0x92), 0x1234);
  const TCaptureParams p = CaptureParams(0x10, 0x80, 0x01, 3);
  EXPECT_EQ(p.Start, 0);
  EXPECT_EQ(p.End, 0x10);
  EXPECT_EQ(p.Revolutions, 1793);
  EXPECT_EQ(CaptureParams(0, 0, 0, 0xFFFF).Revolutions, 0x7FFF * 512);
  EXPECT_DOUBLE_EQ(TemperatureValue(0x80), 2500.0);
  EXPECT_DOUBLE_EQ(TemperatureValue(0), 0.0);
}

TEST(Kalvenor2Protocol, ReadOutGoesInChunksOfOneMaximumTransfer) {
  EXPECT_EQ(ReadOutChunks(1200, 512), (std::vector<uint32_t>{512, 512, 176}));
  EXPECT_EQ(ReadOutChunks(1024, 512), (std::vector<uint32_t>{512, 512}));
  EXPECT_TRUE(ReadOutChunks(1024, 0).empty());
  EXPECT_TRUE(ReadOutChunks(0, 512).empty());
}

TEST(Kalvenor2Identity, ReadsConfigurationBytesAndThreeTexts) {
  const TIdentity id = ParseIdentityBlock(Block("Kalvenor2", "2.1", "00042"));
  EXPECT_EQ(id.Config[0], 0x05);
  EXPECT_EQ(id.Config[15], 0xAB);
  EXPECT_EQ(id.Identity, "Kalvenor2");
  EXPECT_EQ(id.Version, "2.1");
  EXPECT_EQ(id.SerialNumber, "00042");
}

TEST(Kalvenor2Identity, TextsLongerThanTheirFieldAreClampedAndSkippedWhole) {
  const TIdentity id = ParseIdentityBlock(Block(std::string(300, 'I'), "2.10.12345", "1234567"));
  EXPECT_EQ(id.Identity, std::string(255, 'I'));
  EXPECT_EQ(id.Version, "2.10.1234");
  EXPECT_EQ(id.SerialNumber, "12345");
}

TEST(Kalvenor2Identity, AnErasedEepromHasNoTexts) {
  const std::vector<uint8_t> erased(IdentityBlockSize, 0xFF);
  const TIdentity id = ParseIdentityBlock(erased);
  EXPECT_EQ(id.Config[0], 0xFF);
  EXPECT_EQ(id.Identity, "");
  EXPECT_EQ(id.Version, "");
  EXPECT_EQ(id.SerialNumber, "");
}

TEST(Kalvenor2Identity, ALengthPastTheBlockEndsTheWalk) {
  std::vector<uint8_t> block(40, 0);
  block[16] = 0x00;
  block[17] = 30; // 30 bytes claimed, 22 present
  std::fill(block.begin() + 18, block.end(), 'x');
  const TIdentity id = ParseIdentityBlock(block);
  EXPECT_EQ(id.Identity, std::string(22, 'x'));
  EXPECT_EQ(id.Version, "");
  EXPECT_EQ(ParseIdentityBlock(std::span(block).first(10)).Identity, "");
}
