#pragma once
// The pure half of the FX2 port: from an I/O control and its buffers to the
// USB transfer it asks for, and from the transfer's outcome back to what the
// caller sees (error, byte count, the record's status words). No I/O here.

#include "fx2request.h"
#include "fx2transfer.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace fx2port {

// Larger data stages are refused; the class library never moves more than
// one endpoint's maximum transfer at a time.
constexpr uint32_t MaxTransferLength = 4u << 20;

struct TMappedRequest {
  uint32_t error = ErrorSuccess; // ErrorSuccess when the transfer below is valid
  TUsbTransfer transfer;
};

// Maps a transfer I/O control (control, buffered or direct) with its input
// bytes and the size of its output buffer. Refuses records whose sizes do
// not fit the buffers, isochronous packet tables and unknown codes.
TMappedRequest MapRequest(uint32_t code, std::span<const uint8_t> input, std::size_t outputSize);

struct TCompletion {
  uint32_t error = ErrorSuccess; // what the overlapped result reports
  uint32_t bytesReturned = 0;    // data offset plus the bytes that came or went
  uint32_t ntStatus = NtSuccess;
  uint32_t usbdStatus = UsbdSuccess;
};

TCompletion CompleteRequest(const TUsbTransfer& transfer, TTransferStatus status, uint32_t transferred);

} // namespace fx2port
