#include "simharvik.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Frame(int reg, bool write, std::uint32_t length, const Bytes& data = {}) {
  Bytes f = {'A', 'D', 'C', static_cast<std::uint8_t>(write ? reg | 0x80 : reg), static_cast<std::uint8_t>(length),
             static_cast<std::uint8_t>(length >> 8), static_cast<std::uint8_t>(length >> 16)};
  f.insert(f.end(), data.begin(), data.end());
  return f;
}

Bytes BitBang(const Bytes& image, bool trailer = true) {
  Bytes out;
  for (std::uint8_t byte : image)
    for (int bit = 0; bit < 8; ++bit) {
      const bool one = ((byte ^ 0x5C) >> bit) & 1;
      out.push_back(one ? 0x85 : 0x04);
      out.push_back(one ? 0x87 : 0x06);
    }
  for (int i = 0; trailer && i < 8; ++i) {
    out.push_back(0x04);
    out.push_back(0x06);
  }
  return out;
}

class SimHarvik : public ::testing::Test {
 protected:
  sim::TSignalModel Rotor;
  double Clock = 0;
  sim::TSimHarvik Device{Rotor, Clock};

  void Send(const Bytes& bytes) { Device.Receive(bytes.data(), bytes.size()); }
  void Upload(const Bytes& stream) {
    Device.SetBitMode(0xFF, 1);
    Send(stream);
    Device.SetBitMode(0, 0);
  }
  Bytes Read(std::size_t n) {
    Bytes out(n);
    out.resize(Device.Answer(out.data(), n));
    return out;
  }
  std::uint8_t ReadRegister(int reg) {
    Send(Frame(reg, false, 1));
    const Bytes answer = Read(1);
    return answer.empty() ? 0xEE : answer[0];
  }
};

TEST_F(SimHarvik, UnconfiguredDeviceNeverAnswers) {
  Send(Frame(10, false, 1));
  EXPECT_EQ(Device.Waiting(), 0u);
}

TEST_F(SimHarvik, ValidImageConfiguresAndIsDecoded) {
  const Bytes image = {0x00, 0x5D, 0xFF, 0x12};
  Upload(BitBang(image));
  ASSERT_TRUE(Device.Configured());
  EXPECT_EQ(Device.Image(), image);
  EXPECT_EQ(ReadRegister(10), 0);
}

TEST_F(SimHarvik, DamagedImagesAreRejected) {
  Bytes bad = BitBang({1, 2, 3});
  bad[5] = 0x33;
  Upload(bad);
  EXPECT_FALSE(Device.Configured());
  Upload(BitBang({1, 2, 3}, false));
  EXPECT_FALSE(Device.Configured());
  Bytes odd = BitBang({1, 2, 3});
  odd.pop_back();
  Upload(odd);
  EXPECT_FALSE(Device.Configured());
}

TEST_F(SimHarvik, RegistersAndConfigurationMemory) {
  Upload(BitBang({7}));
  Send(Frame(32, true, 1, {0x12}));
  EXPECT_EQ(ReadRegister(32), 0x12);
  Send(Frame(61, true, 1, {1}));
  Send(Frame(60, false, 256));
  const Bytes memory = Read(256);
  ASSERT_EQ(memory.size(), 256u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(memory.data())), "Kalvenor");
  EXPECT_EQ(memory[255] & 1, 1);
}

TEST_F(SimHarvik, ResynchronisesAfterGarbage) {
  Upload(BitBang({7}));
  Bytes stream = {0x41, 0x44, 0x99, 0x00, 0x41};
  const Bytes write = Frame(33, true, 1, {0x5A});
  stream.insert(stream.end(), write.begin(), write.end());
  Send(stream);
  EXPECT_EQ(Device.Register(33), 0x5A);
}

TEST_F(SimHarvik, CaptureStatusProgressesAndFillsTheBanks) {
  Upload(BitBang({7}));
  Rotor.SetSpeed(3000);
  // 1000 samples at 20 kHz: divider 1000 - 1 = 999.
  for (auto [reg, value] : std::vector<std::pair<int, int>>{
           {3, 0xE7}, {4, 0x03}, {5, 0}, {11, 64}, {32, 0x00}, {21, 0xE7}, {22, 0x03}, {23, 0x00}})
    Send(Frame(reg, true, 1, {static_cast<std::uint8_t>(value)}));
  EXPECT_EQ(ReadRegister(10), 0x40);
  Send(Frame(9, true, 1, {0}));
  Send(Frame(6, true, 1, {1}));
  EXPECT_EQ(ReadRegister(10), 0xC0);
  EXPECT_EQ(ReadRegister(10), 0xC2);
  EXPECT_EQ(ReadRegister(10), 0xC3);
  const sim::TCaptureRecord& capture = Device.LastCapture();
  ASSERT_TRUE(capture.Done);
  EXPECT_EQ(capture.Length, 1000);
  EXPECT_DOUBLE_EQ(capture.Fs, 20000);
  // 50 ms at 50 Hz: two reference pulses at most, 400 samples apart.
  const int start = Device.Register(47) | Device.Register(48) << 8;
  const int end = Device.Register(28) | Device.Register(29) << 8;
  EXPECT_EQ(Device.Register(31) - 1, 2);
  EXPECT_EQ(end - start, 800);
  Send(Frame(25, false, 4));
  EXPECT_EQ(Read(4).size(), 4u);
}

TEST_F(SimHarvik, FreeRunningCaptureWaitsForTheForcedTrigger) {
  Upload(BitBang({7}));
  for (auto [reg, value] : std::vector<std::pair<int, int>>{{3, 99}, {11, 1}, {21, 99}, {23, 0}})
    Send(Frame(reg, true, 1, {static_cast<std::uint8_t>(value)}));
  Send(Frame(6, true, 1, {1}));
  EXPECT_EQ(ReadRegister(10), 0xC0);
  EXPECT_EQ(ReadRegister(10), 0xC0);
  Send(Frame(11, true, 1, {32}));
  EXPECT_EQ(ReadRegister(10), 0xC2);
  EXPECT_EQ(ReadRegister(10), 0xC3);
  EXPECT_EQ(Device.Register(31), 1);
}

TEST_F(SimHarvik, ResetRegisterClearsTheLogic) {
  Upload(BitBang({7}));
  Send(Frame(23, true, 1, {0}));
  EXPECT_EQ(ReadRegister(10), 0x40);
  Send(Frame(63, true, 1, {0xFF}));
  EXPECT_EQ(ReadRegister(10), 0x00);
  EXPECT_TRUE(Device.Configured());
}

}  // namespace
