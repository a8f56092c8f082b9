#include "faked2xx.h"
#include "sanitizerslowdown.h"
#include "harvik.h"
#include "harvikcodec.h"

#include "clock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace {

using namespace sartel::harvik;
using Bytes = std::vector<std::uint8_t>;

std::map<int, int> AsMap(const std::vector<TRegisterWrite>& writes) {
  std::map<int, int> m;
  for (const auto& w : writes) m[w.Register] = w.Value;
  return m;
}

TEST(HarvikCodec, CaptureProgramOf16384Samples) {
  const auto writes = CaptureProgram({16384, 0, 3, 2, 1}, 0x80000);
  ASSERT_EQ(writes.size(), 25u);
  const auto r = AsMap(writes);
  EXPECT_EQ(r.at(3), 0xFF);
  EXPECT_EQ(r.at(4), 0x3F);
  EXPECT_EQ(r.at(5), 0x00);
  EXPECT_EQ(r.at(0), 0xFF);
  EXPECT_EQ(r.at(1), 0x3F);
  EXPECT_EQ(r.at(2), 0x80);
  EXPECT_EQ(r.at(21), 0xE7);
  EXPECT_EQ(r.at(22), 0x03);
  EXPECT_EQ(r.at(23), 0x00);
  EXPECT_EQ(r.at(32), 0x12);
  EXPECT_EQ(r.at(11), 64);
  EXPECT_EQ(r.at(15), 1);
  // Run and arm go first, the divider last.
  EXPECT_EQ(writes[0], (TRegisterWrite{6, 0}));
  EXPECT_EQ(writes[1], (TRegisterWrite{9, 0}));
  EXPECT_EQ(writes.back().Register, 23);
}

TEST(HarvikCodec, ModeDividerAndGainEdges) {
  EXPECT_EQ(AsMap(CaptureProgram({100, 1, 0, 0, 0}, 0x80000)).at(11), 1);
  EXPECT_EQ(DividerValue(0), 99u);
  EXPECT_EQ(DividerValue(9), 99999u);
  EXPECT_EQ(DividerValue(10), 0u);
  EXPECT_EQ(DividerValue(-1), 0u);
  EXPECT_EQ(GainByte(2, 1, false), 0x12);
  EXPECT_EQ(GainByte(0, 0, true), 0x08);
  EXPECT_EQ(GainByte(3, -1, false), 0x00);
}

TEST(HarvikCodec, BufferLengthIsClampedToTheMemory) {
  auto r = AsMap(CaptureProgram({0x100000, 0, 0, 0, 0}, 0x20000));
  EXPECT_EQ(r.at(3) | r.at(4) << 8 | r.at(5) << 16, 0x1FFFF);
  r = AsMap(CaptureProgram({0, 0, 0, 0, 0}, 0x20000));
  EXPECT_EQ(r.at(3) | r.at(4) << 8 | r.at(5) << 16, 0);
}

TEST(HarvikCodec, SampleDecodingVectors) {
  const Bytes b0 = {0x00, 0xFF, 0xFF, 0x00};
  const Bytes b1 = {0x00, 0x87, 0x0F, 0x00};
  const Bytes b2 = {0x00, 0x00, 0x00, 0x00};
  std::vector<std::int32_t> a(4), b(4);
  DecodeSamples(b0.data(), b1.data(), b2.data(), 4, a.data(), b.data());
  EXPECT_EQ(a[1], 2047);
  EXPECT_EQ(b[1], -2048);
  EXPECT_EQ(a[2], -1);
  // The first and last samples repeat their neighbours.
  EXPECT_EQ(a[0], a[1]);
  EXPECT_EQ(a[3], a[2]);
  EXPECT_EQ(b[0], -2048);
}

TEST(HarvikCodec, DecodingSkipsNullChannelsAndShortBuffers) {
  const Bytes b0 = {0x34}, b1 = {0x52}, b2 = {0x10};
  std::int32_t b = 0;
  DecodeSamples(b0.data(), b1.data(), b2.data(), 1, nullptr, &b);
  EXPECT_EQ(b, 0x510);
  EXPECT_EQ(Signed12(0x800), -2048);
  EXPECT_EQ(Signed12(0x7FF), 2047);
  EXPECT_EQ(Signed12(0xFFFF), -1);
}

TEST(HarvikCodec, StatusAndCaptureParams) {
  EXPECT_EQ(StatusBits(0x80), 1);
  EXPECT_EQ(StatusBits(0x82), 3);
  EXPECT_EQ(StatusBits(0x83), 7);
  EXPECT_EQ(StatusBits(0x7C), 0);
  const TCaptureParams p = DecodeCaptureParams({0x10, 0x02, 0x01}, {0xFF, 0xFF, 0xFF}, 12);
  EXPECT_EQ(p.Start, 0x010210);
  EXPECT_EQ(p.End, 0xFFFFFF);
  EXPECT_EQ(p.Revolutions, 11);
  EXPECT_EQ(p.Result, 11);
  const TCaptureParams none = DecodeCaptureParams({}, {}, 0);
  EXPECT_EQ(none.Revolutions, 0);
  EXPECT_EQ(none.Result, 0);
}

TEST(HarvikCodec, ImageBitPairs) {
  // 0x5D XOR 0x5C = 0x01: one 1 bit, then seven 0 bits.
  const Bytes out = EncodeImage(Bytes{0x5D});
  ASSERT_EQ(out.size(), 16u + 16u);
  EXPECT_EQ(Bytes(out.begin(), out.begin() + 4), (Bytes{0x85, 0x87, 0x04, 0x06}));
  for (std::size_t i = 2; i < out.size(); i += 2) {
    EXPECT_EQ(out[i], 0x04);
    EXPECT_EQ(out[i + 1], 0x06);
  }
  EXPECT_EQ(EncodeImage({}).size(), 16u);
}

class HarvikModel : public ::testing::Test {
 protected:
  TFakeD2xx Fake;
  sartel::TDAQLib Lib;
  sartel::ftdi::TUSBFTDI Ftdi{Lib.Error, Fake.Table(), {100, false}};
  THarvik Model{Lib, Ftdi};

  void SetUp() override { ASSERT_TRUE(Ftdi.OpenByDescription("Kalvenor")); }
  std::string ErrorText() const { return std::string(Lib.Error.Text().begin(), Lib.Error.Text().end()); }
};

TEST_F(HarvikModel, ProgrammingIsOneWriteOf200Bytes) {
  Fake.ReadBytes = {0x40};
  Lib.BufferLength = 16384;
  EXPECT_EQ(Model.CaptureProgramming(), 1);
  ASSERT_GE(Fake.Writes.size(), 1u);
  EXPECT_EQ(Fake.Writes[0].size(), 200u);
}

TEST_F(HarvikModel, PollGivesUpAfterTwoSeconds) {
  // Every read of the status register answers 0.
  Lib.BufferLength = 1000;
  const std::uint32_t before = rtl::GetTickCount();
  EXPECT_EQ(Model.CaptureProgramming(), 0);
  const std::uint32_t elapsed = rtl::GetTickCount() - before;
  EXPECT_EQ(ErrorText(), "Could not set capture parameters. Timeout.");
  EXPECT_EQ(Lib.Error.ErrorCode(), 1);
  EXPECT_GE(elapsed, 2500u);
  EXPECT_LT(elapsed, 2500u + 1500u * testsupport::kSanitizerSlowdown);
}

TEST_F(HarvikModel, FailedReadOutWritesNothing) {
  Lib.BufferLength = 100;
  Fake.FailReads = true;
  std::vector<std::int32_t> a(100, 12345), b(100, 12345);
  Model.ReadSamples(a.data(), b.data());
  EXPECT_TRUE(std::all_of(a.begin(), a.end(), [](std::int32_t v) { return v == 12345; }));
  EXPECT_TRUE(std::all_of(b.begin(), b.end(), [](std::int32_t v) { return v == 12345; }));
  EXPECT_EQ(Lib.Error.ErrorCode(), 1);
  // RAM access is restored even so.
  EXPECT_EQ(Fake.Writes.back(), (Bytes{'A', 'D', 'C', 15 | 0x80, 1, 0, 0, 1}));
}

TEST_F(HarvikModel, ReadOutIsClampedToTheMemory) {
  Lib.BufferLength = 0x100000;
  std::vector<std::int32_t> a(0x20000);
  Model.ReadSamples(a.data(), nullptr);
  // Three bank headers asking for the small memory's 0x20000 bytes.
  int headers = 0;
  for (const Bytes& w : Fake.Writes)
    if (w.size() == 7 && w[3] >= 25 && w[3] <= 27) {
      ++headers;
      EXPECT_EQ(w[4] | w[5] << 8 | w[6] << 16, 0x20000);
    }
  EXPECT_EQ(headers, 3);
}

TEST_F(HarvikModel, ConfigurationMemoryReadsThroughTheReadCommand) {
  Bytes memory(256, 0);
  const std::string id = "Kalvenor", version = "3.0", serial = "4711";
  std::copy(id.begin(), id.end(), memory.begin());
  std::copy(version.begin(), version.end(), memory.begin() + 21);
  std::copy(serial.begin(), serial.end(), memory.begin() + 27);
  memory[238 + 2] = 0x12;
  memory[246 + 2] = 0x34;
  memory[255] = 1;
  Fake.ReadBytes.assign(1, 0x40);  // status after the read command
  Fake.ReadBytes.insert(Fake.ReadBytes.end(), memory.begin(), memory.end());
  Bytes copy(256);
  ASSERT_EQ(Model.ReadConfigMemory(copy.data()), 1);
  EXPECT_EQ(copy, memory);
}

TEST_F(HarvikModel, MissingImageFile) {
  Lib.SetPath(u"/nonexistent-folder-for-the-image");
  EXPECT_FALSE(Model.Configure());
  EXPECT_EQ(ErrorText(), "Missing library.");
  EXPECT_EQ(Lib.Error.ErrorCode(), 2);
  EXPECT_TRUE(Fake.Writes.empty());
  EXPECT_EQ(Model.ImagePath(), std::filesystem::path("/nonexistent-folder-for-the-image/Lib/Harvik.lib"));
}

}  // namespace
