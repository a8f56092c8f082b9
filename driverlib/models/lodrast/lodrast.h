#pragma once
// TLodrast: the one-channel acquisition device reached over TCP. Every
// operation is a command packet on the link, some followed by a reply of a
// fixed size (lodrastcodec.h).
//
// A failed transfer leaves a "Communication error, ..." text with code 1
// (the first failure since the code was last cleared is the one kept) and
// the link closed; capture programming connects again to the same host and
// port (also when it finds the connection dropped while idle), so one
// dropped connection or time-out costs one capture, not the session. A failed read-out writes nothing into the caller's buffer.

#include "daqlib.h"
#include "devicemodel.h"
#include "lodrastcodec.h"
#include "tcplink.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace sartel::lodrast {

class TLodrast : public TDeviceModel {
 public:
  TLodrast(TDAQLib& lib, tcp::TTcpLink& link);

  TItemTables Items() const override;
  bool Configure() override { return true; }
  std::int32_t RamSize() const override { return RamSamples; }
  // Closes the connection.
  void Shutdown() override;

  std::int32_t CaptureProgramming() override;
  std::int32_t StartCapture() override;
  std::int32_t StopCapture() override;
  std::int32_t EndCapture() override;
  std::uint8_t ReadStatus() override;
  std::int32_t WriteAddress() override;
  // Channel A only; the device has no other.
  void ReadSamples(std::int32_t* channelA, std::int32_t* channelB) override;
  std::int32_t CaptureParams(std::int32_t* start, std::int32_t* end, std::int32_t* revolutions) override;
  // Output a only.
  std::int32_t Temperature(double* a, double* b) override;

  std::string_view Identity() const override { return "Lodrast"; }
  std::string_view SerialNumber() const override { return "0000"; }
  std::string_view Version() const override { return "1.0"; }

 private:
  bool Send(const std::uint8_t* data, std::size_t length);
  // Sends a command once the link is idle: bytes still waiting from an
  // earlier reply mean the link is out of step.
  bool Order(const TPacket& packet);
  bool Receive(std::uint8_t* buffer, std::size_t length);
  bool ReadAddress(std::array<std::uint8_t, AddressReplySize>& reply);
  bool Check(tcp::TTransfer result, bool sending);

  TDAQLib& Lib;
  tcp::TTcpLink& Link;
  // The device's input; nothing changes it.
  std::int32_t Selector = 0;
  std::vector<std::uint8_t> ReadOutBuffer;
};

// The error text of a failed connect, as listing reports it.
const char* ConnectFailureText(tcp::TConnectResult result);

}  // namespace sartel::lodrast
