#include "usbconfig.h"
#include "usbdescriptors.h"

#include <gtest/gtest.h>

#include <vector>

using namespace sartel::fx2;

namespace {

std::vector<uint8_t> Config(std::vector<uint8_t> body, int totalExtra = 0) {
  std::vector<uint8_t> d = {9, 2, 0, 0, 1, 1, 0, 0x80, 50};
  d.reserve(d.size() + body.size());
  d.insert(d.end(), body.begin(), body.end());
  const auto total = static_cast<uint16_t>(d.size() + totalExtra);
  d[2] = static_cast<uint8_t>(total);
  d[3] = static_cast<uint8_t>(total >> 8);
  return d;
}

std::vector<uint8_t> Interface(uint8_t number, uint8_t alt, uint8_t endpoints) {
  return {9, 4, number, alt, endpoints, 0xFF, 0, 0, 0};
}

std::vector<uint8_t> Endpoint(uint8_t address, uint8_t attributes, uint16_t packet) {
  return {7, 5, address, attributes, static_cast<uint8_t>(packet), static_cast<uint8_t>(packet >> 8), 0};
}

std::vector<uint8_t> Join(std::initializer_list<std::vector<uint8_t>> parts) {
  std::vector<uint8_t> all;
  for (const auto& p : parts)
    all.insert(all.end(), p.begin(), p.end());
  return all;
}

} // namespace

TEST(UsbDescriptors, DeviceDescriptorNeedsAll18Bytes) {
  std::vector<uint8_t> d = {18, 1, 0x00, 0x02, 0xFF, 0, 0, 64, 0x45, 0x5A, 0x02, 0x00, 0x00, 0x01, 1, 2, 3, 1};
  TUsbDeviceDescriptor parsed;
  ASSERT_TRUE(ParseDeviceDescriptor(d, parsed));
  EXPECT_EQ(parsed.UsbVersion, 0x0200);
  EXPECT_EQ(parsed.VendorID, 0x5A45);
  EXPECT_EQ(parsed.ProductID, 0x0002);
  EXPECT_EQ(parsed.MaxPacketSize0, 64);
  EXPECT_EQ(parsed.ProductIndex, 2);
  EXPECT_EQ(parsed.ConfigurationCount, 1);
  d.pop_back();
  EXPECT_FALSE(ParseDeviceDescriptor(d, parsed));
}

TEST(UsbDescriptors, PrefersUsEnglishElseTheFirstLanguage) {
  EXPECT_EQ(ChooseLanguage(std::vector<uint8_t>{6, 3, 0x07, 0x04, 0x09, 0x04}), 0x0409);
  EXPECT_EQ(ChooseLanguage(std::vector<uint8_t>{6, 3, 0x07, 0x04, 0x0C, 0x04}), 0x0407);
  // The length byte claims a second language that never arrived.
  EXPECT_EQ(ChooseLanguage(std::vector<uint8_t>{6, 3, 0x07, 0x04}), 0x0407);
  EXPECT_EQ(ChooseLanguage(std::vector<uint8_t>{}), 0x0409);
  EXPECT_EQ(ChooseLanguage(std::vector<uint8_t>{2, 3}), 0x0409);
}

TEST(UsbDescriptors, StringTextIsBoundedByWhatArrived) {
  EXPECT_EQ(DecodeStringDescriptor(std::vector<uint8_t>{8, 3, 'K', 0, 'a', 0, 'l', 0}), u"Kal");
  EXPECT_EQ(DecodeStringDescriptor(std::vector<uint8_t>{200, 3, 'K', 0, 'a'}), u"K");
  EXPECT_EQ(DecodeStringDescriptor(std::vector<uint8_t>{2, 3}), u"");
  EXPECT_EQ(DecodeStringDescriptor(std::vector<uint8_t>{6, 2, 'K', 0, 'a', 0}), u"");
  std::vector<uint8_t> longest(255, 'x');
  longest[0] = 255;
  longest[1] = 3;
  EXPECT_EQ(DecodeStringDescriptor(longest).size(), 126u);
}

TEST(UsbDescriptors, MaxTransferSizeCountsAdditionalTransactions) {
  EXPECT_EQ(MaxTransferSizeOf(512), 512u);
  EXPECT_EQ(MaxTransferSizeOf(0x1400), 3u * 1024u);
  EXPECT_EQ(MaxTransferSizeOf(64), 64u);
}

TEST(UsbConfigWalk, BuildsInterfacesAndEndpointsByType) {
  const auto d = Config(Join({Interface(0, 0, 2), Endpoint(0x02, 2, 512), Endpoint(0x86, 2, 512),
                              Interface(0, 1, 2), Endpoint(0x81, 1, 0x1400), Endpoint(0x01, 3, 64)}));
  CUsbConfig config(nullptr, fx2port::InvalidPortHandle, d);
  EXPECT_EQ(config.TotalLength, d.size());
  ASSERT_EQ(config.Interfaces.size(), 2u);
  EXPECT_EQ(config.AltInterfaces, (std::vector<uint8_t>{2, 2}));
  const CUsbInterface& first = *config.Interfaces[0];
  EXPECT_EQ(first.EndPointsFound, 2);
  EXPECT_EQ(first.TotalLength, 9u + 7u + 7u);
  EXPECT_EQ(first.EndPoints[0], nullptr);
  EXPECT_EQ(first.EndPoints[2]->Address, 0x86);
  EXPECT_TRUE(first.EndPoints[2]->bIn);
  EXPECT_NE(dynamic_cast<CUsbBulkEndPoint*>(first.EndPoints[1]), nullptr);
  const CUsbInterface& second = *config.Interfaces[1];
  EXPECT_NE(dynamic_cast<CUsbIsocEndPoint*>(second.EndPoints[1]), nullptr);
  EXPECT_EQ(second.EndPoints[1]->MaxTransferSize, 3072u);
  EXPECT_NE(dynamic_cast<CUsbInterruptEndPoint*>(second.EndPoints[2]), nullptr);
}

TEST(UsbConfigWalk, EndsOnAZeroLengthByte) {
  auto d = Config(Join({Interface(0, 0, 2), Endpoint(0x02, 2, 512), {0, 5, 0x86, 2, 0, 2, 0}}));
  CUsbConfig config(nullptr, fx2port::InvalidPortHandle, d);
  ASSERT_EQ(config.Interfaces.size(), 1u);
  EXPECT_EQ(config.Interfaces[0]->EndPointsFound, 1);
}

TEST(UsbConfigWalk, StaysWithinTheBytesReceivedAndTheTotalLength) {
  const auto whole = Config(Join({Interface(0, 0, 2), Endpoint(0x02, 2, 512), Endpoint(0x86, 2, 512)}));
  // Received fewer bytes than the total length says: the cut endpoint is dropped.
  CUsbConfig cut(nullptr, fx2port::InvalidPortHandle, std::span(whole).first(whole.size() - 3));
  EXPECT_EQ(cut.Interfaces[0]->EndPointsFound, 1);
  // A total length shorter than what arrived ends the walk there.
  auto shorter = whole;
  shorter[2] = static_cast<uint8_t>(whole.size() - 7);
  CUsbConfig limited(nullptr, fx2port::InvalidPortHandle, shorter);
  EXPECT_EQ(limited.Interfaces[0]->EndPointsFound, 1);
  // An endpoint descriptor too short for its fields is skipped, not read past.
  const auto shortEndpoint = Config(Join({Interface(0, 0, 1), {4, 5, 0x86, 2}, Endpoint(0x02, 2, 64)}));
  CUsbConfig skipped(nullptr, fx2port::InvalidPortHandle, shortEndpoint);
  ASSERT_EQ(skipped.Interfaces[0]->EndPointsFound, 1);
  EXPECT_EQ(skipped.Interfaces[0]->EndPoints[1]->Address, 0x02);
}

TEST(UsbConfigWalk, TakesAtMostEightInterfacesAndFifteenEndpoints) {
  std::vector<uint8_t> body;
  for (uint8_t i = 0; i < 10; ++i) {
    const auto part = Interface(i, 0, 0);
    body.insert(body.end(), part.begin(), part.end());
  }
  for (uint8_t e = 0; e < 20; ++e) {
    const auto part = Endpoint(static_cast<uint8_t>(0x81 + e % 15), 2, 64);
    body.insert(body.end(), part.begin(), part.end());
  }
  CUsbConfig config(nullptr, fx2port::InvalidPortHandle, Config(body));
  EXPECT_EQ(config.Interfaces.size(), 8u);
  for (const auto& i : config.Interfaces)
    EXPECT_EQ(i->EndPointsFound, 0) << "endpoints behind a ninth interface belong to none";

  std::vector<uint8_t> many = Interface(0, 0, 20);
  for (uint8_t e = 0; e < 20; ++e) {
    const auto part = Endpoint(static_cast<uint8_t>(0x81 + e % 15), 2, 64);
    many.insert(many.end(), part.begin(), part.end());
  }
  CUsbConfig full(nullptr, fx2port::InvalidPortHandle, Config(many));
  EXPECT_EQ(full.Interfaces[0]->EndPointsFound, 15);
}
