#pragma once
// The endpoint classes of the USB class library. Each endpoint moves data
// through the FX2 port with one request record per transfer: begin the
// request, wait for it up to the endpoint's time-out (aborting the pipe when
// it runs out), then collect the result and the status words.

#include "fx2/fx2overlapped.h"
#include "fx2/fx2port.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace sartel::fx2 {

constexpr uint32_t UsbDefaultTimeOutMs = 10000;

// One transfer in flight: the request record (with the data behind it for
// the buffered forms) and its completion record.
struct TUsbXfer {
  TUsbXfer(uint8_t* caller, uint32_t length) : Caller(caller), Length(length) {}
  uint8_t* Caller;
  uint32_t Length;
  std::vector<uint8_t> Record;
  uint32_t BufferOffset = 0;
  uint32_t Error = fx2port::ErrorSuccess; // of the begin call
  uint32_t Returned = 0;              // byte count of a request that completed at once
  fx2port::TFx2Overlapped Overlapped;
};

class CUsbEndPoint {
public:
  // descriptor: the 7 bytes of an endpoint descriptor.
  CUsbEndPoint(fx2port::TFx2Port* port, fx2port::TPortHandle device, std::span<const uint8_t, 7> descriptor);
  virtual ~CUsbEndPoint() = default;
  CUsbEndPoint(const CUsbEndPoint&) = delete;
  CUsbEndPoint& operator=(const CUsbEndPoint&) = delete;

  // Moves length bytes to or from buffer; length returns what moved. True
  // when the transfer completed in time with both status words 0.
  bool XferData(uint8_t* buffer, uint32_t& length);

  fx2port::TPortHandle hDevice;
  uint8_t DscLen;
  uint8_t DscType;
  uint8_t Address;
  uint8_t Attributes;
  uint16_t MaxPktSize;
  uint32_t MaxTransferSize;
  uint8_t Interval;
  bool bIn;
  bool bDirect = true;
  uint32_t UsbdStatus = 0;
  uint32_t NtStatus = 0;
  uint32_t BytesXferred = 0;
  uint32_t LastError = 0;
  bool TimedOut = false;
  uint32_t TimeOut = UsbDefaultTimeOutMs;

protected:
  virtual void BeginDirectXfer(TUsbXfer& xfer);
  virtual void BeginBufferedXfer(TUsbXfer& xfer);
  virtual void BeginDataXfer(TUsbXfer& xfer);
  virtual bool FinishDataXfer(TUsbXfer& xfer, uint32_t& length);

  // Issues one transfer I/O control with the record as input.
  void Issue(TUsbXfer& xfer, uint32_t code, uint8_t* output, uint32_t outputSize);
  // The direct form: a record of recordLength bytes (r in front), the data
  // moving straight to or from the caller's buffer.
  void IssueDirect(TUsbXfer& xfer, const fx2port::TRequestRecord& r, uint32_t recordLength);
  // The buffered form: r in front and the data from dataOffset on, copied in
  // for a transfer to the device; r's buffer fields are set here.
  void IssueBuffered(TUsbXfer& xfer, fx2port::TRequestRecord& r, uint32_t dataOffset, uint32_t code);
  fx2port::TFx2Port* Port;

private:
  bool WaitForXfer(TUsbXfer& xfer);
};

class CUsbControlEndPoint : public CUsbEndPoint {
public:
  // The device's endpoint 0, made from the device descriptor's packet size.
  CUsbControlEndPoint(fx2port::TFx2Port* port, fx2port::TPortHandle device, uint16_t maxPacketSize);
  // A control endpoint described in an interface.
  CUsbControlEndPoint(fx2port::TFx2Port* port, fx2port::TPortHandle device, std::span<const uint8_t, 7> descriptor);

  uint8_t Target = 0;    // 0 device
  uint8_t ReqType = 2;   // 0 standard, 2 vendor
  uint8_t Direction = 0; // 0 to device, 1 to host
  uint8_t ReqCode = 0;
  uint16_t Value = 0;
  uint16_t Index = 0;
  // Descriptor requests carry a fixed time-out in the record.
  std::optional<uint32_t> RecordTimeOutSeconds;

protected:
  void BeginDataXfer(TUsbXfer& xfer) override;
};

class CUsbBulkEndPoint : public CUsbEndPoint {
  using CUsbEndPoint::CUsbEndPoint;
};

class CUsbInterruptEndPoint : public CUsbEndPoint {
  using CUsbEndPoint::CUsbEndPoint;
};

// Isochronous transfers carry a packet table of 8 bytes per packet between
// the record and the data.
class CUsbIsocEndPoint : public CUsbEndPoint {
public:
  using CUsbEndPoint::CUsbEndPoint;

protected:
  void BeginDirectXfer(TUsbXfer& xfer) override;
  void BeginBufferedXfer(TUsbXfer& xfer) override;

private:
  // A record for length bytes with its packet table.
  fx2port::TRequestRecord PacketRecord(uint32_t length) const;
};

} // namespace sartel::fx2
