#pragma once
// TUSBFTDI: the FTDI transport. It binds the D2XX library by name, opens and
// sets up one device, and carries the register protocol: single register
// writes and reads, block transfers, a raw byte stream for the configuration
// image, and a queue that batches register writes into one USB write.
//
// Every transfer is bounded by the transfer time-out (transfertimeout.h,
// read when the transport is created). A failed transfer leaves a "Communication error, ..."
// text with code 1 in the driver's last-error record.

#include "d2xxcalls.h"
#include "ftditransfer.h"
#include "lasterror.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace sartel::ftdi {

class TUSBFTDI {
 public:
  static constexpr std::size_t QueueSize = 250;

  // Nothing bound: every call answers like a missing function until Bind.
  explicit TUSBFTDI(TLastError& error);
  // Over a given function table (tests and tools).
  TUSBFTDI(TLastError& error, const d2xx::TFunctions& functions, const TTransferSettings& settings);
  ~TUSBFTDI();
  TUSBFTDI(const TUSBFTDI&) = delete;
  TUSBFTDI& operator=(const TUSBFTDI&) = delete;

  // Loads "libftd2xx.so" and binds the 21 functions; true when all were found.
  bool Bind();

  std::uint32_t TimeoutMs() const { return Settings.TimeoutMs; }

  // Listing. CountDevices leaves count 0 on failure.
  bool CountDevices(std::uint32_t& count) const;
  // The description of device index, bounded; false on a failing status
  // (text keeps whatever the library wrote).
  bool Description(int index, std::string& text) const;

  // Opening: by description, overlapped, for reading and writing.
  bool OpenByDescription(const std::string& description);
  bool IsOpen() const;
  // Set-up after opening; sets the texts and codes 3 to 5.
  bool Setup();
  // Closes the handle with FT_W32_CloseHandle; the handle is invalid after.
  std::int32_t Close();
  // Closes with FT_Close and opens device Index() again with FT_Open.
  bool Reopen();

  void SetIndex(int index) { DeviceIndex = index; }
  int Index() const { return DeviceIndex; }

  // Device control used by the configuration-image upload.
  bool ResetDevice();
  bool SetBitMode(std::uint8_t mask, std::uint8_t mode);
  bool Purge(std::uint32_t mask);

  // The register protocol.
  bool WriteRegister(int reg, std::uint8_t value);
  bool ReadRegister(int reg, std::uint8_t& value);
  bool WriteBlock(int reg, const std::uint8_t* data, std::size_t length);
  bool ReadBlock(int reg, std::uint8_t* buffer, std::size_t length);
  bool WriteRaw(const std::uint8_t* data, std::size_t length);

  // The write queue: at most QueueSize bytes, so 31 register writes.
  void QueueClear();
  // False when the frame does not fit.
  bool QueuePush(int reg, std::uint8_t value);
  // Sends the queue in one transfer and clears it whatever the outcome.
  bool QueueSend();

 private:
  bool Send(const std::uint8_t* data, std::size_t length);
  bool Receive(std::uint8_t* buffer, std::size_t length);
  bool Report(TTransferResult result, TDirection direction);
  bool PurgeBeforeOperation();
  bool Pieces(TDirection direction, std::uint8_t* data, std::size_t length);

  TLastError& Error;
  TD2xxCalls Calls;
  TTransferSettings Settings;
  void* Module = nullptr;
  d2xx::Handle Device;
  int DeviceIndex = 0;
  std::uint8_t Queue[QueueSize] = {};
  std::size_t QueueLength = 0;
};

}  // namespace sartel::ftdi
