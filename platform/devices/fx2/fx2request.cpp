#include "fx2request.h"

namespace fx2port {
namespace {

void Put16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}

void Put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i)
    p[i] = static_cast<uint8_t>(v >> (8 * i));
}

uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

uint32_t Get32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

} // namespace

void EncodeRecord(const TRequestRecord& r, std::span<uint8_t, RequestRecordSize> out) {
  uint8_t* p = out.data();
  p[0] = r.requestType;
  p[1] = r.request;
  Put16(p + 2, r.value);
  Put16(p + 4, r.index);
  Put16(p + 6, r.length);
  Put32(p + 8, r.timeoutSeconds);
  p[12] = r.reserved;
  p[13] = r.endpoint;
  Put32(p + 14, r.ntStatus);
  Put32(p + 18, r.usbdStatus);
  Put32(p + 22, r.isoPacketOffset);
  Put32(p + 26, r.isoPacketLength);
  Put32(p + 30, r.bufferOffset);
  Put32(p + 34, r.bufferLength);
}

TRequestRecord DecodeRecord(std::span<const uint8_t, RequestRecordSize> in) {
  const uint8_t* p = in.data();
  TRequestRecord r;
  r.requestType = p[0];
  r.request = p[1];
  r.value = Get16(p + 2);
  r.index = Get16(p + 4);
  r.length = Get16(p + 6);
  r.timeoutSeconds = Get32(p + 8);
  r.reserved = p[12];
  r.endpoint = p[13];
  r.ntStatus = Get32(p + 14);
  r.usbdStatus = Get32(p + 18);
  r.isoPacketOffset = Get32(p + 22);
  r.isoPacketLength = Get32(p + 26);
  r.bufferOffset = Get32(p + 30);
  r.bufferLength = Get32(p + 34);
  return r;
}

void StoreRecordStatus(std::span<uint8_t, RequestRecordSize> record, uint32_t ntStatus, uint32_t usbdStatus) {
  Put32(record.data() + 14, ntStatus);
  Put32(record.data() + 18, usbdStatus);
}

uint32_t RecordTimeoutSeconds(uint32_t timeoutMs) {
  if (timeoutMs > 0 && timeoutMs < 1000)
    return 1;
  return timeoutMs / 1000;
}

} // namespace fx2port
