#include "fx2/fx2requestmap.h"
#include "fx2/fx2usbids.h"

#include <gtest/gtest.h>

#include <vector>

using namespace fx2port;

namespace {

std::vector<uint8_t> Encoded(const TRequestRecord& r, std::size_t dataBytes = 0) {
  std::vector<uint8_t> bytes(RequestRecordSize + dataBytes, 0);
  EncodeRecord(r, std::span<uint8_t, RequestRecordSize>(bytes.data(), RequestRecordSize));
  return bytes;
}

TRequestRecord ControlRecord(uint8_t type, uint16_t length) {
  TRequestRecord r;
  r.requestType = type;
  r.request = 0xA9;
  r.value = 0x5000;
  r.index = 0;
  r.length = length;
  r.timeoutSeconds = 10;
  r.bufferOffset = 38;
  r.bufferLength = length;
  return r;
}

TRequestRecord PipeRecord(uint8_t endpoint, uint32_t offset, uint32_t length) {
  TRequestRecord r;
  r.endpoint = endpoint;
  r.bufferOffset = offset;
  r.bufferLength = length;
  return r;
}

} // namespace

TEST(Fx2RequestRecord, FieldsSitAtTheirOffsetsLittleEndian) {
  TRequestRecord r = ControlRecord(0xC0, 0x0180);
  r.endpoint = 0x86;
  r.ntStatus = 0x11223344;
  r.usbdStatus = 0xA1B2C3D4;
  r.isoPacketOffset = 38;
  r.isoPacketLength = 16;
  const std::vector<uint8_t> b = Encoded(r);
  EXPECT_EQ(b[0], 0xC0);
  EXPECT_EQ(b[1], 0xA9);
  EXPECT_EQ(b[2], 0x00);
  EXPECT_EQ(b[3], 0x50);
  EXPECT_EQ(b[6], 0x80);
  EXPECT_EQ(b[7], 0x01);
  EXPECT_EQ(b[8], 10);
  EXPECT_EQ(b[13], 0x86);
  EXPECT_EQ(b[14], 0x44);
  EXPECT_EQ(b[17], 0x11);
  EXPECT_EQ(b[18], 0xD4);
  EXPECT_EQ(b[22], 38);
  EXPECT_EQ(b[26], 16);
  EXPECT_EQ(b[30], 38);
  EXPECT_EQ(b[34], 0x80);
  EXPECT_EQ(b[35], 0x01);

  const TRequestRecord back = DecodeRecord(std::span<const uint8_t, RequestRecordSize>(b.data(), 38));
  EXPECT_EQ(back.value, 0x5000);
  EXPECT_EQ(back.usbdStatus, 0xA1B2C3D4u);
  EXPECT_EQ(back.bufferLength, 0x0180u);
}

TEST(Fx2RequestRecord, TimeoutFieldIsWholeSecondsButNeverZeroForAShortTimeout) {
  EXPECT_EQ(RecordTimeoutSeconds(10000), 10u);
  EXPECT_EQ(RecordTimeoutSeconds(1), 1u);
  EXPECT_EQ(RecordTimeoutSeconds(999), 1u);
  EXPECT_EQ(RecordTimeoutSeconds(1999), 1u);
  EXPECT_EQ(RecordTimeoutSeconds(0), 0u);
}

TEST(Fx2RequestMap, ControlInBecomesASetupPacketWithTheRecordTimeout) {
  const std::vector<uint8_t> in = Encoded(ControlRecord(0xC0, 128), 128);
  const TMappedRequest m = MapRequest(IoctlControlTransfer, in, in.size());
  ASSERT_EQ(m.error, ErrorSuccess);
  const TUsbTransfer& t = m.transfer;
  EXPECT_EQ(t.kind, TTransferKind::Control);
  EXPECT_EQ(t.setup, (TSetupPacket{0xC0, 0xA9, 0x5000, 0, 128}));
  EXPECT_TRUE(t.in);
  EXPECT_EQ(t.length, 128u);
  EXPECT_EQ(t.timeoutMs, 10000u);
  EXPECT_EQ(t.dataOffset, 38u);
  EXPECT_FALSE(t.direct);
}

TEST(Fx2RequestMap, ControlRequestsMustFitTheirBuffers) {
  std::vector<uint8_t> in = Encoded(ControlRecord(0xC0, 128), 128);
  EXPECT_EQ(MapRequest(IoctlControlTransfer, in, 38 + 127).error, ErrorInvalidParameter);
  std::vector<uint8_t> out = Encoded(ControlRecord(0x40, 2), 1);
  EXPECT_EQ(MapRequest(IoctlControlTransfer, out, out.size()).error, ErrorInvalidParameter);
  out.push_back(0);
  EXPECT_EQ(MapRequest(IoctlControlTransfer, out, out.size()).error, ErrorSuccess);
  EXPECT_EQ(MapRequest(IoctlControlTransfer, std::span(in).first(37), 200).error, ErrorInvalidParameter);

  TRequestRecord moved = ControlRecord(0xC0, 4);
  moved.bufferOffset = 0;
  in = Encoded(moved, 4);
  EXPECT_EQ(MapRequest(IoctlControlTransfer, in, in.size()).error, ErrorInvalidParameter);
}

TEST(Fx2RequestMap, DirectTransferTakesItsLengthFromTheOutputBuffer) {
  const std::vector<uint8_t> in = Encoded(PipeRecord(0x86, 0, 0));
  const TMappedRequest m = MapRequest(IoctlDirectTransfer, in, 512);
  ASSERT_EQ(m.error, ErrorSuccess);
  EXPECT_EQ(m.transfer.kind, TTransferKind::Pipe);
  EXPECT_EQ(m.transfer.endpoint, 0x86);
  EXPECT_TRUE(m.transfer.in);
  EXPECT_TRUE(m.transfer.direct);
  EXPECT_EQ(m.transfer.length, 512u);
  EXPECT_EQ(m.transfer.dataOffset, 0u);
  EXPECT_EQ(m.transfer.timeoutMs, 0u);
}

TEST(Fx2RequestMap, BufferedOutTransferCarriesTheBytesBehindTheRecord) {
  std::vector<uint8_t> in = Encoded(PipeRecord(0x02, 38, 3), 3);
  TMappedRequest m = MapRequest(IoctlBufferedTransfer, in, in.size());
  ASSERT_EQ(m.error, ErrorSuccess);
  EXPECT_FALSE(m.transfer.in);
  EXPECT_FALSE(m.transfer.direct);
  EXPECT_EQ(m.transfer.length, 3u);
  EXPECT_EQ(m.transfer.dataOffset, 38u);
  in.pop_back();
  EXPECT_EQ(MapRequest(IoctlBufferedTransfer, in, in.size()).error, ErrorInvalidParameter);
}

TEST(Fx2RequestMap, RefusesControlEndpointsIsochronousTablesAndHugeLengths) {
  std::vector<uint8_t> in = Encoded(PipeRecord(0x80, 0, 0));
  EXPECT_EQ(MapRequest(IoctlDirectTransfer, in, 64).error, ErrorInvalidParameter);
  TRequestRecord iso = PipeRecord(0x81, 54, 64);
  iso.isoPacketOffset = 38;
  iso.isoPacketLength = 16;
  in = Encoded(iso, 80);
  EXPECT_EQ(MapRequest(IoctlBufferedTransfer, in, in.size()).error, ErrorNotSupported);
  in = Encoded(PipeRecord(0x86, 38, MaxTransferLength + 1));
  EXPECT_EQ(MapRequest(IoctlBufferedTransfer, in, in.size()).error, ErrorInvalidParameter);
  in = Encoded(PipeRecord(0x86, 0, 0));
  EXPECT_EQ(MapRequest(IoctlDirectTransfer, in, MaxTransferLength + 1).error, ErrorInvalidParameter);
  EXPECT_EQ(MapRequest(IoctlAbortPipe, in, 0).error, ErrorInvalidParameter);
}

TEST(Fx2RequestMap, CompletionReportsStatusAndCountsOnlyWhatMoved) {
  TUsbTransfer t;
  t.length = 100;
  t.dataOffset = 38;
  TCompletion c = CompleteRequest(t, TTransferStatus::Ok, 60);
  EXPECT_EQ(c.error, ErrorSuccess);
  EXPECT_EQ(c.bytesReturned, 98u);
  EXPECT_EQ(c.ntStatus, 0u);
  EXPECT_EQ(c.usbdStatus, 0u);
  c = CompleteRequest(t, TTransferStatus::Ok, 1000);
  EXPECT_EQ(c.bytesReturned, 138u);
  c = CompleteRequest(t, TTransferStatus::Cancelled, 0);
  EXPECT_EQ(c.error, ErrorOperationAborted);
  EXPECT_EQ(c.ntStatus, NtCancelled);
  EXPECT_EQ(c.usbdStatus, UsbdCanceled);
  c = CompleteRequest(t, TTransferStatus::Stall, 0);
  EXPECT_EQ(c.usbdStatus, UsbdStall);
  EXPECT_NE(c.error, ErrorSuccess);
  c = CompleteRequest(t, TTransferStatus::Timeout, 0);
  EXPECT_EQ(c.error, ErrorTimeout);
  c = CompleteRequest(t, TTransferStatus::NoDevice, 0);
  EXPECT_EQ(c.error, ErrorDeviceNotConnected);
}

TEST(Fx2UsbIds, ParsesHexPairsAndSkipsMalformedEntries) {
  const std::vector<TUsbId> ids = ParseUsbIds("04b4:1002, 04B4:ABCD;zz:1 12345:1,:5,7:\t0:0");
  ASSERT_EQ(ids.size(), 3u);
  EXPECT_EQ(ids[0], (TUsbId{0x04B4, 0x1002}));
  EXPECT_EQ(ids[1], (TUsbId{0x04B4, 0xABCD}));
  EXPECT_EQ(ids[2], (TUsbId{0, 0}));
  EXPECT_TRUE(ParseUsbIds("").empty());
}
