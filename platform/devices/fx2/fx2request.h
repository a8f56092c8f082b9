#pragma once
// The request record that the FX2 class library hands to the FX2 port, and
// the I/O control codes that carry it. The record is little-endian and 38
// bytes long; buffered transfers put their data right behind it.

#include <cstddef>
#include <cstdint>
#include <span>

namespace fx2port {

// I/O control codes understood by the port.
enum TIoctl : uint32_t {
  IoctlDriverVersion = 0x220000,    // out: uint32
  IoctlUsbdiVersion = 0x220004,     // out: uint32
  IoctlAlternateSetting = 0x220008, // in: interface number, out: setting (1 byte)
  IoctlAddress = 0x220010,          // out: USB address (1 byte)
  IoctlControlTransfer = 0x220020,  // record + data stage in one buffer
  IoctlBufferedTransfer = 0x220024, // record + data in one buffer
  IoctlDeviceName = 0x22003C,       // out: 256 narrow characters
  IoctlFriendlyName = 0x220040,     // out: 256 narrow characters
  IoctlAbortPipe = 0x220044,        // in: endpoint address (1 byte)
  IoctlDirectTransfer = 0x22004B,   // in: record, out: the caller's data
  IoctlSpeed = 0x22004C,            // out: uint32, 2 for high speed
};

// Error values of the port's calls, numbered like the Windows errors the
// class library was written against.
enum TPortError : uint32_t {
  ErrorSuccess = 0,
  ErrorInvalidHandle = 6,
  ErrorGenFailure = 31,
  ErrorNotSupported = 50,
  ErrorInvalidParameter = 87,
  ErrorTimeout = 121,
  ErrorOperationAborted = 995,
  ErrorIoIncomplete = 996,
  ErrorIoPending = 997,
  ErrorDeviceNotConnected = 1167,
};

// Status words returned in the record. Zero is success for both.
enum TNtStatus : uint32_t {
  NtSuccess = 0,
  NtUnsuccessful = 0xC0000001,
  NtDeviceNotConnected = 0xC000009D,
  NtIoTimeout = 0xC00000B5,
  NtCancelled = 0xC0000120,
};
enum TUsbdStatus : uint32_t {
  UsbdSuccess = 0,
  UsbdStall = 0xC0000004,
  UsbdDevNotResponding = 0xC0000005,
  UsbdTimeout = 0xC0006000,
  UsbdCanceled = 0xC0010000,
  UsbdDeviceGone = 0xC0007000,
};

constexpr std::size_t RequestRecordSize = 38;
constexpr std::size_t DeviceNameSize = 256;
constexpr uint32_t HighSpeed = 2;

// Bits of the request type byte.
constexpr uint8_t RequestDirectionIn = 0x80;
constexpr uint8_t RequestTypeStandard = 0 << 5;
constexpr uint8_t RequestTypeVendor = 2 << 5;
constexpr uint8_t RequestTargetDevice = 0;

struct TRequestRecord {
  uint8_t requestType = 0; // bits 0-4 target, 5-6 type, 7 device to host
  uint8_t request = 0;
  uint16_t value = 0;
  uint16_t index = 0;
  uint16_t length = 0;         // data stage of a control request
  uint32_t timeoutSeconds = 0; // control requests only
  uint8_t reserved = 0;
  uint8_t endpoint = 0; // 0 for control requests
  uint32_t ntStatus = 0;
  uint32_t usbdStatus = 0;
  uint32_t isoPacketOffset = 0;
  uint32_t isoPacketLength = 0;
  uint32_t bufferOffset = 0; // 38 when the data follow the record
  uint32_t bufferLength = 0;
};

void EncodeRecord(const TRequestRecord& record, std::span<uint8_t, RequestRecordSize> out);
TRequestRecord DecodeRecord(std::span<const uint8_t, RequestRecordSize> in);

// Writes only the two status words of an encoded record.
void StoreRecordStatus(std::span<uint8_t, RequestRecordSize> record, uint32_t ntStatus, uint32_t usbdStatus);

// The record's time-out field for an endpoint time-out in milliseconds:
// whole seconds, but never 0 for a time-out of 1 to 999 ms.
uint32_t RecordTimeoutSeconds(uint32_t timeoutMs);

} // namespace fx2port
