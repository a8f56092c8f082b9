#include "fx2requestmap.h"

#include <algorithm>
#include <limits>

namespace fx2port {
namespace {

constexpr uint32_t RecordSize = static_cast<uint32_t>(RequestRecordSize);

TMappedRequest Refuse(uint32_t error) {
  TMappedRequest m;
  m.error = error;
  return m;
}

uint32_t SecondsToMs(uint32_t seconds) {
  constexpr uint32_t limit = std::numeric_limits<uint32_t>::max() / 1000;
  return std::min(seconds, limit) * 1000;
}

// The record, plus the data stage behind it where the direction says so,
// must fit the buffers the caller gave.
bool FitsBuffers(bool in, uint32_t length, std::size_t inputSize, std::size_t outputSize) {
  const std::size_t whole = RecordSize + static_cast<std::size_t>(length);
  return in ? outputSize >= whole : inputSize >= whole && outputSize >= RecordSize;
}

TMappedRequest MapControl(const TRequestRecord& r, std::size_t inputSize, std::size_t outputSize) {
  if (r.bufferOffset != RecordSize)
    return Refuse(ErrorInvalidParameter);
  TMappedRequest m;
  TUsbTransfer& t = m.transfer;
  t.kind = TTransferKind::Control;
  t.setup = {r.requestType, r.request, r.value, r.index, r.length};
  t.in = (r.requestType & RequestDirectionIn) != 0;
  t.length = r.length;
  t.timeoutMs = SecondsToMs(r.timeoutSeconds);
  t.dataOffset = RecordSize;
  if (!FitsBuffers(t.in, t.length, inputSize, outputSize))
    return Refuse(ErrorInvalidParameter);
  return m;
}

TMappedRequest MapPipe(const TRequestRecord& r, bool direct, std::size_t inputSize, std::size_t outputSize) {
  if (r.isoPacketOffset != 0 || r.isoPacketLength != 0)
    return Refuse(ErrorNotSupported);
  if ((r.endpoint & 0x0F) == 0)
    return Refuse(ErrorInvalidParameter);
  TMappedRequest m;
  TUsbTransfer& t = m.transfer;
  t.kind = TTransferKind::Pipe;
  t.endpoint = r.endpoint;
  t.in = (r.endpoint & 0x80) != 0;
  t.direct = direct;
  if (direct) {
    if (r.bufferOffset != 0 || outputSize > MaxTransferLength)
      return Refuse(ErrorInvalidParameter);
    t.length = static_cast<uint32_t>(outputSize);
    return m;
  }
  if (r.bufferOffset != RecordSize || r.bufferLength > MaxTransferLength)
    return Refuse(ErrorInvalidParameter);
  t.length = r.bufferLength;
  t.dataOffset = RecordSize;
  if (!FitsBuffers(t.in, t.length, inputSize, outputSize))
    return Refuse(ErrorInvalidParameter);
  return m;
}

} // namespace

TMappedRequest MapRequest(uint32_t code, std::span<const uint8_t> input, std::size_t outputSize) {
  if (input.size() < RequestRecordSize)
    return Refuse(ErrorInvalidParameter);
  const TRequestRecord r = DecodeRecord(input.first<RequestRecordSize>());
  switch (code) {
  case IoctlControlTransfer:
    return MapControl(r, input.size(), outputSize);
  case IoctlBufferedTransfer:
    return MapPipe(r, false, input.size(), outputSize);
  case IoctlDirectTransfer:
    return MapPipe(r, true, input.size(), outputSize);
  default:
    return Refuse(ErrorInvalidParameter);
  }
}

TCompletion CompleteRequest(const TUsbTransfer& transfer, TTransferStatus status, uint32_t transferred) {
  TCompletion c;
  c.bytesReturned = transfer.dataOffset + std::min(transferred, transfer.length);
  switch (status) {
  case TTransferStatus::Ok:
    break;
  case TTransferStatus::Timeout:
    c = {ErrorTimeout, c.bytesReturned, NtIoTimeout, UsbdTimeout};
    break;
  case TTransferStatus::Stall:
    c = {ErrorGenFailure, c.bytesReturned, NtUnsuccessful, UsbdStall};
    break;
  case TTransferStatus::Cancelled:
    c = {ErrorOperationAborted, c.bytesReturned, NtCancelled, UsbdCanceled};
    break;
  case TTransferStatus::NoDevice:
    c = {ErrorDeviceNotConnected, c.bytesReturned, NtDeviceNotConnected, UsbdDeviceGone};
    break;
  case TTransferStatus::Failed:
    c = {ErrorGenFailure, c.bytesReturned, NtUnsuccessful, UsbdDevNotResponding};
    break;
  }
  return c;
}

} // namespace fx2port
