#include "usbendpoint.h"

#include "fx2/fx2request.h"
#include "usbdescriptors.h"

#include <algorithm>
#include <array>
#include <cstring>

using namespace fx2port;

namespace sartel::fx2 {

namespace {

constexpr uint32_t RecordSize = static_cast<uint32_t>(RequestRecordSize);

std::span<uint8_t, RequestRecordSize> RecordBytes(std::vector<uint8_t>& buffer) {
  return std::span<uint8_t, RequestRecordSize>(buffer.data(), RequestRecordSize);
}

} // namespace

CUsbEndPoint::CUsbEndPoint(TFx2Port* port, TPortHandle device, std::span<const uint8_t, 7> d)
    : hDevice(device), DscLen(d[0]), DscType(d[1]), Address(d[2]), Attributes(d[3]),
      MaxPktSize(static_cast<uint16_t>(d[4] | d[5] << 8)),
      MaxTransferSize(MaxTransferSizeOf(MaxPktSize)), Interval(d[6]),
      bIn((d[2] & 0x80) != 0), Port(port) {}

bool CUsbEndPoint::XferData(uint8_t* buffer, uint32_t& length) {
  TUsbXfer xfer(buffer, length);
  BytesXferred = 0;
  TimedOut = false;
  BeginDataXfer(xfer);
  LastError = xfer.Error;
  const bool waited = WaitForXfer(xfer);
  const bool finished = FinishDataXfer(xfer, length);
  return waited && finished;
}

void CUsbEndPoint::Issue(TUsbXfer& xfer, uint32_t code, uint8_t* output, uint32_t outputSize) {
  if (!Port) {
    xfer.Error = ErrorInvalidHandle;
    return;
  }
  xfer.Error = Port->IoControl(hDevice, code, xfer.Record.data(), static_cast<uint32_t>(xfer.Record.size()),
                               output, outputSize, xfer.Returned, &xfer.Overlapped);
}

void CUsbEndPoint::IssueDirect(TUsbXfer& xfer, const TRequestRecord& r, uint32_t recordLength) {
  xfer.Record.assign(recordLength, 0);
  EncodeRecord(r, RecordBytes(xfer.Record));
  xfer.BufferOffset = 0;
  Issue(xfer, IoctlDirectTransfer, xfer.Caller, xfer.Length);
}

void CUsbEndPoint::IssueBuffered(TUsbXfer& xfer, TRequestRecord& r, uint32_t dataOffset, uint32_t code) {
  r.bufferOffset = dataOffset;
  r.bufferLength = xfer.Length;
  xfer.Record.assign(dataOffset + xfer.Length, 0);
  EncodeRecord(r, RecordBytes(xfer.Record));
  if (!bIn && xfer.Length > 0)
    std::memcpy(xfer.Record.data() + dataOffset, xfer.Caller, xfer.Length);
  xfer.BufferOffset = dataOffset;
  Issue(xfer, code, xfer.Record.data(), static_cast<uint32_t>(xfer.Record.size()));
}

void CUsbEndPoint::BeginDirectXfer(TUsbXfer& xfer) {
  TRequestRecord r;
  r.endpoint = Address;
  IssueDirect(xfer, r, RecordSize);
}

void CUsbEndPoint::BeginBufferedXfer(TUsbXfer& xfer) {
  TRequestRecord r;
  r.endpoint = Address;
  IssueBuffered(xfer, r, RecordSize, IoctlBufferedTransfer);
}

void CUsbEndPoint::BeginDataXfer(TUsbXfer& xfer) {
  if (bDirect)
    BeginDirectXfer(xfer);
  else
    BeginBufferedXfer(xfer);
}

// A pending request gets the endpoint's time-out; when that runs out the
// pipe is aborted, which the port completes before it returns, and the
// transfer fails. The second wait only picks up that completion.
bool CUsbEndPoint::WaitForXfer(TUsbXfer& xfer) {
  if (xfer.Error == ErrorSuccess)
    return true;
  if (xfer.Error != ErrorIoPending)
    return false;
  if (xfer.Overlapped.Wait(TimeOut))
    return true;
  TimedOut = true;
  uint8_t address = Address;
  uint32_t returned = 0;
  Port->IoControl(hDevice, IoctlAbortPipe, &address, 1, nullptr, 0, returned, nullptr);
  xfer.Overlapped.Wait(TimeOut);
  return false;
}

bool CUsbEndPoint::FinishDataXfer(TUsbXfer& xfer, uint32_t& length) {
  length = 0;
  uint32_t returned = xfer.Returned;
  bool result = xfer.Error == ErrorSuccess;
  if (xfer.Error == ErrorIoPending) {
    uint32_t error = 0;
    result = Port->GetOverlappedResult(xfer.Overlapped, returned, error);
    if (!result && !TimedOut)
      LastError = error;
  } else if (xfer.Error != ErrorSuccess) {
    return false;
  }
  length = returned > xfer.BufferOffset ? std::min(returned - xfer.BufferOffset, xfer.Length) : 0;
  BytesXferred = length;
  const TRequestRecord r = DecodeRecord(std::span<const uint8_t, RequestRecordSize>(xfer.Record.data(), RecordSize));
  UsbdStatus = r.usbdStatus;
  NtStatus = r.ntStatus;
  if (bIn && xfer.BufferOffset > 0 && length > 0)
    std::memcpy(xfer.Caller, xfer.Record.data() + xfer.BufferOffset, length);
  return result && UsbdStatus == 0 && NtStatus == 0;
}

CUsbControlEndPoint::CUsbControlEndPoint(TFx2Port* port, TPortHandle device, uint16_t maxPacketSize)
    : CUsbEndPoint(port, device,
                   std::array<uint8_t, 7>{7, 5, 0, 0, static_cast<uint8_t>(maxPacketSize),
                                          static_cast<uint8_t>(maxPacketSize >> 8), 0}) {
  bDirect = false;
}

CUsbControlEndPoint::CUsbControlEndPoint(TFx2Port* port, TPortHandle device, std::span<const uint8_t, 7> descriptor)
    : CUsbEndPoint(port, device, descriptor) {
  bDirect = false;
}

void CUsbControlEndPoint::BeginDataXfer(TUsbXfer& xfer) {
  bIn = Direction == 1;
  TRequestRecord r;
  r.requestType = static_cast<uint8_t>((Direction & 1) << 7 | (ReqType & 3) << 5 | (Target & 0x1F));
  r.request = ReqCode;
  r.value = Value;
  r.index = Index;
  r.length = static_cast<uint16_t>(std::min<uint32_t>(xfer.Length, 0xFFFF));
  r.timeoutSeconds = RecordTimeOutSeconds.value_or(RecordTimeoutSeconds(TimeOut));
  xfer.Length = r.length;
  IssueBuffered(xfer, r, RecordSize, IoctlControlTransfer);
}

TRequestRecord CUsbIsocEndPoint::PacketRecord(uint32_t length) const {
  TRequestRecord r;
  r.endpoint = Address;
  r.isoPacketOffset = RecordSize;
  r.isoPacketLength = MaxTransferSize == 0 ? 0 : 8 * ((length + MaxTransferSize - 1) / MaxTransferSize);
  return r;
}

void CUsbIsocEndPoint::BeginDirectXfer(TUsbXfer& xfer) {
  const TRequestRecord r = PacketRecord(xfer.Length);
  IssueDirect(xfer, r, RecordSize + r.isoPacketLength);
}

void CUsbIsocEndPoint::BeginBufferedXfer(TUsbXfer& xfer) {
  TRequestRecord r = PacketRecord(xfer.Length);
  IssueBuffered(xfer, r, RecordSize + r.isoPacketLength, IoctlBufferedTransfer);
}

} // namespace sartel::fx2
