#pragma once
// One USB transfer as the FX2 port's backends carry it: what a request
// record asks for, once it has been checked against the buffers it came in.

#include <cstdint>

namespace fx2port {

struct TSetupPacket {
  uint8_t requestType = 0;
  uint8_t request = 0;
  uint16_t value = 0;
  uint16_t index = 0;
  uint16_t length = 0;
};

enum class TTransferKind { Control, Pipe };

struct TUsbTransfer {
  TTransferKind kind = TTransferKind::Control;
  TSetupPacket setup;     // control transfers
  uint8_t endpoint = 0;   // pipe transfers; bit 7 set for device to host
  bool in = false;        // data stage from device to host
  uint32_t length = 0;    // bytes of the data stage
  uint32_t timeoutMs = 0; // 0: no limit of its own, the caller's wait bounds it
  // Where the data stage lies: behind the record in the I/O buffer (offset
  // 38), or the whole output buffer of a direct transfer (offset 0).
  uint32_t dataOffset = 0;
  bool direct = false;
};

enum class TTransferStatus { Ok, Timeout, Stall, Cancelled, NoDevice, Failed };

inline bool operator==(const TSetupPacket& a, const TSetupPacket& b) {
  return a.requestType == b.requestType && a.request == b.request && a.value == b.value && a.index == b.index &&
         a.length == b.length;
}

} // namespace fx2port
